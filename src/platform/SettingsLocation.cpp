#include "platform/SettingsLocation.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name)
{
#ifdef _WIN32
    // The wide environment, so that a profile path outside the system's
    // code page arrives whole (as UTF-8, the native form of paths).
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wideName.c_str());
    return value ? NativePathOf(fs::path(value)) : std::string();
#else
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
#endif
}

bool IsWritableFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
#ifdef _WIN32
    // Access rights on Windows are only known by trying.
    const fs::path probe = folder / "replidex.ini.probe";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(h);
    return true;
#else
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

}  // namespace

std::string HomeFolder()
{
#ifdef _WIN32
    return Environment("USERPROFILE");
#else
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
#endif
}

std::string UserConfigFolder()
{
#ifdef _WIN32
    return Environment("APPDATA");
#else
    // XDG base directories must be absolute; a relative one is ignored.
    const std::string xdg = Environment("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg.front() == '/') return xdg;
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    return (fs::path(home) / ".config").string();
#endif
}

std::string SettingsFilePath(const std::string& programFolder)
{
    const fs::path besideProgram = FsPath(programFolder) / kSettingsFileName;
    std::error_code ec;
    if (!programFolder.empty() &&
        (fs::exists(besideProgram, ec) || IsWritableFolder(FsPath(programFolder)))) {
        return NativePathOf(besideProgram);
    }
    const std::string config = UserConfigFolder();
    // Nowhere better known: next to the program after all (saving may fail).
    if (config.empty()) return NativePathOf(besideProgram);
    return NativePathOf(FsPath(config) / "replidex" / kSettingsFileName);
}

}  // namespace replidex
