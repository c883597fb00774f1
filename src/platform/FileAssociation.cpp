#include "platform/FileAssociation.h"

#ifdef _WIN32
#include <windows.h>

#include <optional>

#include "core/file/NativeFiles.h"
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

// A registry key closed when it goes out of scope.
class Key {
public:
    Key() = default;
    ~Key() { close(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }
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
bool CreateKey(HKEY parent, const std::wstring& name, Key& key, bool* existed = nullptr)
{
    DWORD disposition = 0;
    if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.out(), &disposition) != ERROR_SUCCESS)
        return false;
    if (existed) *existed = disposition == REG_OPENED_EXISTING_KEY;
    return true;
}

bool OpenKey(HKEY parent, const std::wstring& name, Key& key)
{
    return RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.out()) == ERROR_SUCCESS;
}

const wchar_t* ValueName(const std::wstring& name)
{
    return name.empty() ? nullptr : name.c_str();   // empty: the key's default value
}

// Stores a text value; its stored length includes the terminating NUL.
bool SetText(HKEY key, const std::wstring& name, const std::wstring& text)
{
    return RegSetValueExW(key, ValueName(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Reads a text value of any length (a value longer than a fixed buffer must
// not count as missing: that would lose the class it names).
std::optional<std::wstring> ReadText(HKEY key, const std::wstring& name)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(key, ValueName(name), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, ValueName(name), nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(text.data()), &got);
        if (status == ERROR_MORE_DATA) continue;   // it grew in between
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(got / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
    return std::nullopt;
}

// Whether the key holds anything besides its default value.
bool HoldsMoreThanItsDefault(HKEY key)
{
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    const bool hasDefault = RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    return subkeys > 0 || values > (hasDefault ? 1u : 0u);
}

}  // namespace

std::string FileClassCommand(const std::string& programPath)
{
    return "\"" + programPath + "\" \"%1\"";
}

std::string FileClassIcon(const std::string& programPath)
{
    return programPath + ",0";
}

int RegisterFileClass(const std::string& className, const std::string& programPath, bool withIcon)
{
    Key classKey;
    bool existed = false;
    if (!CreateKey(HKEY_CLASSES_ROOT, WideFromUtf8(className), classKey, &existed)) return 0;
    if (existed) return 1;   // an existing class is left untouched

    Key shell, open, command;
    if (!CreateKey(classKey.get(), L"shell", shell) || !CreateKey(shell.get(), L"open", open) ||
        !CreateKey(open.get(), L"command", command))
        return 0;
    if (!SetText(command.get(), {}, WideFromUtf8(FileClassCommand(programPath)))) return 0;
    if (!withIcon) return 1;

    Key icon;
    if (!CreateKey(classKey.get(), L"DefaultIcon", icon)) return 0;
    return SetText(icon.get(), {}, WideFromUtf8(FileClassIcon(programPath))) ? 1 : 0;
}

int AssociateExtension(const std::string& extension, const std::string& className)
{
    const std::wstring backupName = WideFromUtf8(className);
    Key key;
    if (!CreateKey(HKEY_CLASSES_ROOT, WideFromUtf8(extension), key)) return 0;
    if (ReadText(key.get(), backupName)) return 1;   // already in force

    // The previous class, or empty text stored with length 0 when there was none.
    bool stored;
    if (const std::optional<std::wstring> previous = ReadText(key.get(), {}))
        stored = SetText(key.get(), backupName, *previous);
    else
        stored = RegSetValueExW(key.get(), backupName.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(L""), 0) == ERROR_SUCCESS;
    if (!stored) return 0;
    return SetText(key.get(), {}, backupName) ? 1 : 0;
}

int IsExtensionAssociated(const std::string& extension, const std::string& className)
{
    Key key;
    if (!OpenKey(HKEY_CLASSES_ROOT, WideFromUtf8(extension), key)) return 0;
    return ReadText(key.get(), WideFromUtf8(className)) ? 1 : 0;
}

int UnassociateExtension(const std::string& extension, const std::string& className)
{
    const std::wstring backupName = WideFromUtf8(className);
    Key key;
    if (!OpenKey(HKEY_CLASSES_ROOT, WideFromUtf8(extension), key)) return 1;   // nothing to undo
    const std::optional<std::wstring> previous = ReadText(key.get(), backupName);
    if (previous && RegDeleteValueW(key.get(), backupName.c_str()) != ERROR_SUCCESS) return 0;
    // A class the user chose since the association was made stays.
    const std::optional<std::wstring> current = ReadText(key.get(), {});
    if (current && *current != backupName) return 1;
    if (previous && !previous->empty()) return SetText(key.get(), {}, *previous) ? 1 : 0;
    // No previous class: the extension key goes, unless it holds something
    // else of the user's (other values, sub-keys); then only the class does.
    if (HoldsMoreThanItsDefault(key.get())) {
        if (current) return RegDeleteValueW(key.get(), nullptr) == ERROR_SUCCESS ? 1 : 0;
        return 1;
    }
    key.close();
    RegDeleteKeyW(HKEY_CLASSES_ROOT, WideFromUtf8(extension).c_str());
    return 1;
}

int UnregisterFileClass(const std::string& className)
{
    const std::wstring name = WideFromUtf8(className);
    Key classKey;
    if (!OpenKey(HKEY_CLASSES_ROOT, name, classKey)) return 1;
    Key shell, open;
    if (!OpenKey(classKey.get(), L"shell", shell) || !OpenKey(shell.get(), L"open", open)) return 0;
    RegDeleteKeyW(open.get(), L"command");
    open.close();
    RegDeleteKeyW(shell.get(), L"open");
    shell.close();
    RegDeleteKeyW(classKey.get(), L"shell");
    RegDeleteKeyW(classKey.get(), L"DefaultIcon");
    classKey.close();
    RegDeleteKeyW(HKEY_CLASSES_ROOT, name.c_str());
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
