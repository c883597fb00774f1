#include "platform/FileAssociation.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <cstring>
#else
#include <filesystem>
#include <optional>

#include "platform/DesktopIdentity.h"
#include "platform/XdgDefaults.h"
#include "platform/XdgDirs.h"
#include "platform/XdgEntries.h"
#endif

namespace replidex {

#ifdef _WIN32

namespace {

constexpr DWORD kTextBytes = 260;

// A registry key closed when it goes out of scope.
class Key {
public:
    Key() = default;
    ~Key() { close(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    void close()
    {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// Creates or opens `name` under `parent` with full access. `existed` (when
// given) tells whether it was there already.
bool CreateKey(HKEY parent, const char* name, Key& key, bool* existed = nullptr)
{
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.out(), &disposition) != ERROR_SUCCESS)
        return false;
    if (existed) *existed = disposition == REG_OPENED_EXISTING_KEY;
    return true;
}

bool OpenKey(HKEY parent, const char* name, Key& key)
{
    return RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key.out()) == ERROR_SUCCESS;
}

// Stores a text value; its stored length includes the terminating NUL.
bool SetText(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

bool ReadText(HKEY key, const char* name, char (&buffer)[kTextBytes])
{
    DWORD size = kTextBytes;
    std::memset(buffer, 0, kTextBytes);
    const bool read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                       &size) == ERROR_SUCCESS;
    buffer[kTextBytes - 1] = '\0';
    return read;
}

}  // namespace

int RegisterFileClass(const std::string& className, const std::string& programPath, bool withIcon)
{
    Key classKey;
    bool existed = false;
    if (!CreateKey(HKEY_CLASSES_ROOT, className.c_str(), classKey, &existed)) return 0;
    if (existed) return 1;   // an existing class is left untouched

    Key shell, open, command;
    if (!CreateKey(classKey.get(), "shell", shell) || !CreateKey(shell.get(), "open", open) ||
        !CreateKey(open.get(), "command", command))
        return 0;
    char text[kTextBytes];
    std::snprintf(text, sizeof text, "\"%s\" \"%%1\"", programPath.c_str());
    if (!SetText(command.get(), nullptr, text)) return 0;
    if (!withIcon) return 1;

    Key icon;
    if (!CreateKey(classKey.get(), "DefaultIcon", icon)) return 0;
    std::snprintf(text, sizeof text, "%s,%d", programPath.c_str(), 0);
    return SetText(icon.get(), nullptr, text) ? 1 : 0;
}

int AssociateExtension(const std::string& extension, const std::string& className)
{
    Key key;
    if (!CreateKey(HKEY_CLASSES_ROOT, extension.c_str(), key)) return 0;
    char previous[kTextBytes];
    if (ReadText(key.get(), className.c_str(), previous)) return 1;   // already in force

    // The previous class, or empty text stored with length 0 when there was none.
    bool stored;
    if (ReadText(key.get(), nullptr, previous))
        stored = SetText(key.get(), className.c_str(), previous);
    else
        stored = RegSetValueExA(key.get(), className.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(""), 0) == ERROR_SUCCESS;
    if (!stored) return 0;
    return SetText(key.get(), nullptr, className.c_str()) ? 1 : 0;
}

int IsExtensionAssociated(const std::string& extension, const std::string& className)
{
    Key key;
    if (!OpenKey(HKEY_CLASSES_ROOT, extension.c_str(), key)) return 0;
    char backup[kTextBytes];
    return ReadText(key.get(), className.c_str(), backup) ? 1 : 0;
}

int UnassociateExtension(const std::string& extension, const std::string& className)
{
    Key key;
    if (!OpenKey(HKEY_CLASSES_ROOT, extension.c_str(), key)) return 1;   // nothing to undo
    char previous[kTextBytes];
    if (ReadText(key.get(), className.c_str(), previous) &&
        RegDeleteValueA(key.get(), className.c_str()) != ERROR_SUCCESS)
        return 0;
    if (previous[0] != '\0') return SetText(key.get(), nullptr, previous) ? 1 : 0;
    key.close();
    RegDeleteKeyA(HKEY_CLASSES_ROOT, extension.c_str());
    return 1;
}

int UnregisterFileClass(const std::string& className)
{
    Key classKey;
    if (!OpenKey(HKEY_CLASSES_ROOT, className.c_str(), classKey)) return 1;
    Key shell, open;
    if (!OpenKey(classKey.get(), "shell", shell) || !OpenKey(shell.get(), "open", open)) return 0;
    RegDeleteKeyA(open.get(), "command");
    open.close();
    RegDeleteKeyA(shell.get(), "open");
    shell.close();
    RegDeleteKeyA(classKey.get(), "shell");
    RegDeleteKeyA(classKey.get(), "DefaultIcon");
    classKey.close();
    RegDeleteKeyA(HKEY_CLASSES_ROOT, className.c_str());
    return 1;
}

#else  // XDG

namespace {

namespace fs = std::filesystem;

bool IsListClass(const std::string& className)
{
    return className == kListFileClass;
}

// Extensions compare without regard to case.
bool IsListExtension(const std::string& extension)
{
    const std::string_view ours = kListFileExtension;
    if (extension.size() != ours.size()) return false;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const char c = extension[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ours[i]) return false;
    }
    return true;
}

const std::string kType(kListMimeType);
const std::string kOurs(kDesktopFileName);

// The icon file next to the program when the build put one there, else the
// icon name an installed copy provides.
std::string IconOf(const std::string& programPath)
{
    const fs::path beside = fs::path(programPath).parent_path() / kIconFileName;
    std::error_code ec;
    if (fs::is_regular_file(beside, ec)) return fs::absolute(beside, ec).string();
    return std::string(kAppId);
}

// The user's default names the program.
bool DefaultIsOurs(const std::optional<std::string>& entry)
{
    return entry && FirstDesktopOf(*entry) == kOurs;
}

}  // namespace

int RegisterFileClass(const std::string& className, const std::string& programPath, bool withIcon)
{
    const std::string data = XdgDataHome();
    if (!IsListClass(className) || programPath.empty() || data.empty()) return 0;
    const std::string entry = data + "/applications/" + std::string(kDesktopFileName);
    const std::string package = data + "/mime/packages/" + std::string(kMimePackageFileName);
    std::error_code ec;
    // An existing desktop entry is left untouched; the type is made when missing.
    const bool newEntry = !fs::exists(entry, ec);
    const bool newType = !fs::exists(package, ec);
    if (newEntry &&
        !WriteWholeFile(entry, ListDesktopEntry(programPath, withIcon ? IconOf(programPath) : "")))
        return 0;
    if (newType && !WriteWholeFile(package, ListMimePackage())) return 0;
    RefreshXdgCaches(data, newType, newEntry);
    return 1;
}

int AssociateExtension(const std::string& extension, const std::string& className)
{
    if (!IsListExtension(extension) || !IsListClass(className)) return 0;
    const std::optional<std::string> current = UserDefaultEntry(kType);
    if (DefaultIsOurs(current)) return 1;   // already in force: the backup stays
    if (!KeepPreviousDefault(kType, current.value_or(""))) return 0;
    return SetUserDefaultEntry(kType, kOurs) ? 1 : 0;
}

int IsExtensionAssociated(const std::string& extension, const std::string& className)
{
    if (!IsListExtension(extension) || !IsListClass(className)) return 0;
    return QueryDefaultApplication(kType) == kOurs ? 1 : 0;
}

int UnassociateExtension(const std::string& extension, const std::string& className)
{
    if (!IsListExtension(extension) || !IsListClass(className)) return 0;
    const std::optional<std::string> previous = PreviousDefault(kType);
    if (DefaultIsOurs(UserDefaultEntry(kType))) {
        const bool undone = previous && !previous->empty() ? SetUserDefaultEntry(kType, *previous)
                                                           : RemoveUserDefaultEntry(kType);
        if (!undone) return 0;   // the backup stays for another try
    }
    return DropPreviousDefault(kType) ? 1 : 0;
}

int UnregisterFileClass(const std::string& className)
{
    const std::string data = XdgDataHome();
    if (!IsListClass(className) || data.empty()) return 0;
    std::error_code entryError;
    std::error_code typeError;
    const bool entryRemoved =
        fs::remove(data + "/applications/" + std::string(kDesktopFileName), entryError);
    const bool typeRemoved =
        fs::remove(data + "/mime/packages/" + std::string(kMimePackageFileName), typeError);
    RefreshXdgCaches(data, typeRemoved, entryRemoved);
    return entryError || typeError ? 0 : 1;
}

#endif

}  // namespace replidex
