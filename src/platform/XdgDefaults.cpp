#include "platform/XdgDefaults.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "core/settings/ProfileFile.h"
#include "platform/XdgDirs.h"
#include "platform/XdgEntries.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultGroup = "Default Applications";
constexpr const char* kPreviousGroup = "Previous Default Applications";

std::string UserMimeAppsList()
{
    const std::string config = XdgConfigHome();
    return config.empty() ? std::string() : config + "/mimeapps.list";
}

std::string BackupFile()
{
    const std::string config = XdgConfigHome();
    return config.empty() ? std::string() : config + "/replidex/mimeapps-backup.list";
}

// A file of the desktop's own key-file kind: new lines end in "\n".
ProfileFile OpenKeyFile(const std::string& path)
{
    ProfileFile file(path);
    file.setDefaultLineBreak("\n");
    return file;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> ReadLines(const fs::path& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// The value of the first line "<mimeType>=..." inside "[Default Applications]"
// of a mimeapps.list, as the desktop tools' scripts find it.
std::string DefaultEntryIn(const fs::path& file, const std::string& mimeType)
{
    bool inDefaults = false;
    const std::string prefix = mimeType + "=";
    for (const std::string& line : ReadLines(file)) {
        if (StartsWith(line, "[Default Applications]")) inDefaults = true;
        else if (StartsWith(line, "[")) inDefaults = false;
        else if (inDefaults && StartsWith(line, prefix)) return line.substr(prefix.size());
    }
    return {};
}

// The first line naming `mimeType` in a defaults.list or mimeinfo.cache.
std::string CacheEntryIn(const fs::path& file, const std::string& mimeType)
{
    const std::string key = mimeType + "=";
    for (const std::string& line : ReadLines(file)) {
        const std::size_t at = line.find(key);
        if (at != std::string::npos) return line.substr(line.find('=') + 1);
    }
    return {};
}

bool IsExecutable(const std::string& program)
{
    if (program.empty()) return false;
    std::error_code ec;
    if (program.find('/') != std::string::npos)
        return fs::is_regular_file(program, ec) && ::access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "";
    while (!dirs.empty()) {
        const std::size_t end = std::min(dirs.find(':'), dirs.size());
        const std::string candidate = std::string(dirs.substr(0, end)) + "/" + program;
        if (end > 0 && fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return true;
        dirs.remove_prefix(std::min(end + 1, dirs.size()));
    }
    return false;
}

std::vector<std::string> DataDirsUserFirst()
{
    std::vector<std::string> dirs;
    if (const std::string home = XdgDataHome(); !home.empty()) dirs.push_back(home);
    for (const std::string& dir : XdgDataDirs()) dirs.push_back(dir);
    return dirs;
}

// The desktop file `name` in the applications folders (a name "vendor-app"
// also as the file "app" in the sub-folder "vendor"); empty when none.
fs::path FindDesktopFile(const std::string& name)
{
    std::error_code ec;
    for (const std::string& dir : DataDirsUserFirst()) {
        const fs::path base(dir);
        const std::size_t dash = name.find('-');
        if (dash != std::string::npos) {
            const fs::path vendored = base / "applications" / name.substr(0, name.rfind('-')) /
                                      name.substr(dash + 1);
            if (fs::is_regular_file(vendored, ec)) return vendored;
        }
        for (const char* folder : {"applications", "applnk"}) {
            const fs::path top = base / folder;
            if (fs::is_regular_file(top / name, ec)) return top / name;
            for (const auto& sub : fs::directory_iterator(top, ec))
                if (sub.is_directory(ec) && fs::is_regular_file(sub.path() / name, ec))
                    return sub.path() / name;
        }
    }
    return {};
}

// An application counts as installed when its desktop file is there and the
// program its Exec key starts can be run.
bool IsInstalled(const std::string& desktopName)
{
    const fs::path file = FindDesktopFile(desktopName);
    if (file.empty()) return false;
    for (const std::string& line : ReadLines(file)) {
        if (!StartsWith(line, "Exec")) continue;
        const std::size_t eq = line.find('=');
        const std::string_view key = std::string_view(line).substr(0, eq);
        if (eq == std::string::npos || (key != "Exec" && !StartsWith(key, "Exec["))) continue;
        return IsExecutable(ExecProgram(line.substr(eq + 1)));
    }
    return false;
}

// Desktop files under `dir` whose text names `mimeType` followed by ";":
// the folder's own files by name, then each sub-folder's in turn.
void CollectHandlers(const fs::path& dir, const std::string& mimeType, std::vector<fs::path>& out)
{
    std::error_code ec;
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.is_directory(ec)) folders.push_back(entry.path());
        else if (entry.path().extension() == ".desktop") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    const std::string needle = mimeType + ";";
    for (const fs::path& file : files) {
        for (const std::string& line : ReadLines(file)) {
            if (line.find(needle) == std::string::npos) continue;
            out.push_back(file);
            break;
        }
    }
    for (const fs::path& folder : folders) CollectHandlers(folder, mimeType, out);
}

int InitialPreference(const fs::path& file)
{
    for (const std::string& line : ReadLines(file)) {
        const std::size_t at = line.find("InitialPreference=");
        if (at != std::string::npos) return std::atoi(line.c_str() + at + 18);
    }
    return 0;
}

}  // namespace

std::string FirstDesktopOf(const std::string& value)
{
    return value.substr(0, value.find(';'));
}

std::optional<std::string> UserDefaultEntry(const std::string& mimeType)
{
    const std::string path = UserMimeAppsList();
    if (path.empty()) return std::nullopt;
    const ProfileFile file = OpenKeyFile(path);
    const std::vector<std::string> keys = file.keyNames(kDefaultGroup);
    if (std::find(keys.begin(), keys.end(), mimeType) == keys.end()) return std::nullopt;
    return file.readString(kDefaultGroup, mimeType, "");
}

bool SetUserDefaultEntry(const std::string& mimeType, const std::string& value)
{
    const std::string path = UserMimeAppsList();
    if (path.empty()) return false;
    ProfileFile file = OpenKeyFile(path);
    return file.writeString(kDefaultGroup, mimeType, value) && file.save();
}

bool RemoveUserDefaultEntry(const std::string& mimeType)
{
    const std::string path = UserMimeAppsList();
    if (path.empty()) return false;
    ProfileFile file = OpenKeyFile(path);
    if (!file.deleteKey(kDefaultGroup, mimeType)) return !file.readFailed();
    return file.save();
}

std::optional<std::string> PreviousDefault(const std::string& mimeType)
{
    const std::string path = BackupFile();
    if (path.empty()) return std::nullopt;
    const ProfileFile file = OpenKeyFile(path);
    const std::vector<std::string> keys = file.keyNames(kPreviousGroup);
    if (std::find(keys.begin(), keys.end(), mimeType) == keys.end()) return std::nullopt;
    return file.readString(kPreviousGroup, mimeType, "");
}

bool KeepPreviousDefault(const std::string& mimeType, const std::string& value)
{
    const std::string path = BackupFile();
    if (path.empty()) return false;
    ProfileFile file = OpenKeyFile(path);
    return file.writeString(kPreviousGroup, mimeType, value) && file.save();
}

bool DropPreviousDefault(const std::string& mimeType)
{
    const std::string path = BackupFile();
    if (path.empty()) return false;
    ProfileFile file = OpenKeyFile(path);
    if (!file.deleteKey(kPreviousGroup, mimeType)) return !file.readFailed();
    if (file.keyNames(kPreviousGroup).empty()) {
        std::error_code ec;
        return fs::remove(path, ec) || !ec;
    }
    return file.save();
}

std::string QueryDefaultApplication(const std::string& mimeType)
{
    std::vector<std::string> prefixes;
    for (const std::string& desktop : XdgCurrentDesktops()) prefixes.push_back(desktop + "-");
    prefixes.emplace_back();

    std::vector<fs::path> listFolders;
    if (const std::string config = XdgConfigHome(); !config.empty()) listFolders.emplace_back(config);
    for (const std::string& dir : XdgConfigDirs()) listFolders.emplace_back(dir);
    const std::vector<std::string> dataDirs = DataDirsUserFirst();
    for (const std::string& dir : dataDirs) listFolders.push_back(fs::path(dir) / "applications");

    std::error_code ec;
    for (const fs::path& folder : listFolders) {
        for (const std::string& prefix : prefixes) {
            const fs::path list = folder / (prefix + "mimeapps.list");
            if (!fs::is_regular_file(list, ec)) continue;
            const std::string first = FirstDesktopOf(DefaultEntryIn(list, mimeType));
            if (!first.empty() && IsInstalled(first)) return first;
        }
    }

    const char* menuPrefix = std::getenv("XDG_MENU_PREFIX");
    const std::string cachePrefixes[] = {menuPrefix ? menuPrefix : "", ""};
    for (const std::string& dir : dataDirs) {
        for (const std::string& prefix : cachePrefixes) {
            for (const char* name : {"defaults.list", "mimeinfo.cache"}) {
                const std::string first = FirstDesktopOf(
                    CacheEntryIn(fs::path(dir) / "applications" / (prefix + name), mimeType));
                if (!first.empty()) return first;
            }
        }
    }

    int best = -1;
    std::string chosen;
    for (const std::string& dir : dataDirs) {
        std::vector<fs::path> handlers;
        CollectHandlers(fs::path(dir) / "applications", mimeType, handlers);
        for (const fs::path& file : handlers) {
            const int preference = InitialPreference(file);
            if (preference > best) {
                best = preference;
                chosen = file.filename().string();
            }
        }
    }
    return chosen;
}

}  // namespace replidex
