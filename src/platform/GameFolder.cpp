#include "platform/GameFolder.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "core/text/SjisCodec.h"
#include "platform/SettingsLocation.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
std::string UserName()
{
    if (const char* user = std::getenv("USER"); user && *user) return user;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) return pw->pw_name;
    return {};
}

std::string WinePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    return (fs::path(home) / ".wine").string();
}
#endif

}  // namespace

std::string DefaultGameFolder()
{
#ifdef _WIN32
    char user[256] = {};
    DWORD size = sizeof user;
    if (!GetUserNameA(user, &size)) user[0] = '\0';
    return std::string("C:\\Documents and Settings\\") + user + "\\Application Data\\Sega\\PuyoF";
#else
    const std::string prefix = WinePrefix();
    const std::string user = UserName();
    if (prefix.empty() || user.empty()) return {};
    const fs::path profile = fs::path(prefix) / "drive_c" / "users" / user;
    const fs::path current = profile / "AppData" / "Roaming" / "Sega" / "PuyoF";
    const fs::path older = profile / "Application Data" / "Sega" / "PuyoF";
    std::error_code ec;
    const fs::path& chosen =
        !fs::is_directory(current, ec) && fs::is_directory(older, ec) ? older : current;
    std::string sjis;
    if (!SjisFromNativePath(chosen.string(), sjis)) return {};
    return sjis;
#endif
}

bool IsUsableGameFolder(const std::string& sjisFolder)
{
    if (sjisFolder.empty()) return false;
    const std::string native = NativePathFromSjis(sjisFolder);
    if (native.empty()) return false;
    std::error_code ec;
    return fs::is_directory(fs::path(native), ec);
}

}  // namespace replidex
