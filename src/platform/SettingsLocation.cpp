#include "platform/SettingsLocation.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace replidex {

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsWritableFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
#ifdef _WIN32
    // Access rights on Windows are only known by trying.
    const std::string probe = (folder / "replidex.ini.probe").string();
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    const fs::path besideProgram = fs::path(programFolder) / kSettingsFileName;
    std::error_code ec;
    if (!programFolder.empty() &&
        (fs::exists(besideProgram, ec) || IsWritableFolder(fs::path(programFolder)))) {
        return besideProgram.string();
    }
    const std::string config = UserConfigFolder();
    // Nowhere better known: next to the program after all (saving may fail).
    if (config.empty()) return besideProgram.string();
    return (fs::path(config) / "replidex" / kSettingsFileName).string();
}

}  // namespace replidex
