#include "platform/GameFolder.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"
#include "platform/SettingsLocation.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// The folder the game used on the systems it was made for; later systems
// keep "Documents and Settings" and "Application Data" as links to the
// profile's current folders.
fs::path OlderGameFolder()
{
    wchar_t user[256] = {};
    DWORD size = sizeof user / sizeof user[0];
    if (!GetUserNameW(user, &size)) user[0] = L'\0';
    return fs::path(L"C:\\Documents and Settings") / user / L"Application Data" / L"Sega" / L"PuyoF";
}

// The same folder below the profile's roaming application data, where it
// is on current systems; empty when the system does not say where that is.
fs::path CurrentGameFolder()
{
    wchar_t* roaming = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        folder = fs::path(roaming) / L"Sega" / L"PuyoF";
    CoTaskMemFree(roaming);
    return folder;
}
#else
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
    const fs::path older = OlderGameFolder();
    const fs::path current = CurrentGameFolder();
    std::error_code ec;
    const fs::path& chosen =
        current.empty() || (!fs::is_directory(current, ec) && fs::is_directory(older, ec)) ? older : current;
    std::string sjis;
    if (!SjisFromNativePath(NativePathOf(chosen), sjis)) return {};
    return sjis;
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
    return fs::is_directory(FsPath(native), ec);
}

}  // namespace replidex
