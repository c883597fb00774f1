// The recent list files and recent folders: two lists of at most ten paths
// (Shift-JIS), the most recent first, as the two submenus show them and the
// settings file stores them (sections "RecentRdxFile" and "RecentFolder",
// keys "0" to "9", "0" the most recent).
//
// The lists are plain data; the window builds its submenu items from items().
// Loading and saving go through any settings object with the reading and
// writing calls of ProfileFile (keyNames, readString, eraseSection,
// writeString), or through plain (key, value) pairs.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace replidex {

inline constexpr int kRecentMaxItems = 10;
inline constexpr std::string_view kRecentFileSection = "RecentRdxFile";
inline constexpr std::string_view kRecentFolderSection = "RecentFolder";

using ProfilePairs = std::vector<std::pair<std::string, std::string>>;

class RecentList {
public:
    const std::vector<std::string>& items() const { return items_; }
    int size() const { return static_cast<int>(items_.size()); }

    // Puts `path` at the top: an item with exactly this text moves there,
    // otherwise a new one is made; beyond ten items the last one goes.
    void add(const std::string& path);
    // Moves item `index` to the top (the user chose it). False for no such item.
    bool moveToTop(int index);
    void clear() { items_.clear(); }

    // Replaces the items with the values of the section's first ten keys in
    // file order (`section` lists the key lines in file order; a key name
    // counts once, as the first of its spellings in any ASCII case, with the
    // value of its first line). Empty values are skipped, duplicate values are
    // kept.
    void load(const ProfilePairs& section);
    // The section to write: keys "0", "1", ... with the items in order.
    ProfilePairs saved() const;

private:
    std::vector<std::string> items_;
};

struct RecentLists {
    RecentList files;     // list files opened or saved
    RecentList folders;   // folders replays were added from, each ending in the delimiter
};

inline void AddRecentFile(RecentLists& lists, const std::string& path) { lists.files.add(path); }
inline void AddRecentFolder(RecentLists& lists, const std::string& path) { lists.folders.add(path); }

// Loads or saves one list through a settings object.
template <typename Profile>
void LoadRecentList(RecentList& list, const Profile& profile, std::string_view section)
{
    ProfilePairs pairs;
    for (const std::string& key : profile.keyNames(section)) {
        if (static_cast<int>(pairs.size()) == kRecentMaxItems) break;
        pairs.emplace_back(key, profile.readString(section, key, ""));
    }
    list.load(pairs);
}

template <typename Profile>
void SaveRecentList(const RecentList& list, Profile& profile, std::string_view section)
{
    profile.eraseSection(section);
    for (const auto& [key, value] : list.saved()) profile.writeString(section, key, value);
}

template <typename Profile>
void LoadRecentFiles(RecentLists& lists, const Profile& profile)
{
    LoadRecentList(lists.files, profile, kRecentFileSection);
}
template <typename Profile>
void LoadRecentFolders(RecentLists& lists, const Profile& profile)
{
    LoadRecentList(lists.folders, profile, kRecentFolderSection);
}
template <typename Profile>
void SaveRecentFiles(const RecentLists& lists, Profile& profile)
{
    SaveRecentList(lists.files, profile, kRecentFileSection);
}
template <typename Profile>
void SaveRecentFolders(const RecentLists& lists, Profile& profile)
{
    SaveRecentList(lists.folders, profile, kRecentFolderSection);
}

// Whether a Shift-JIS folder path exists; tests hand in their own.
using FolderExists = std::function<bool(const std::string& sjisFolder)>;
// The real test: the path names an existing folder.
bool SjisFolderExists(const std::string& sjisFolder);
bool SjisFileExists(const std::string& sjisPath);

// The folder part of a Shift-JIS path: everything up to and including its
// last delimiter (empty when there is none).
std::string FolderPartOf(std::string_view sjisPath);

// Choosing a recent list file: what to do with it.
enum RecentFileCheck : int {
    kRecentFileOpen = 0,           // open it
    kRecentFileNoFolder = 1,       // its folder is gone: "パスが存在しない為、ファイルを開けません。"
    kRecentFileMissing = 2,        // the file is gone: "ファイルが存在しません。"
};
int CheckRecentFile(const std::string& sjisPath);
// The message for kRecentFileNoFolder / kRecentFileMissing (Shift-JIS); empty otherwise.
std::string RecentFileMessage(int check);

// Choosing a recent folder: the folder the chooser starts in. The folder part
// of the caption when it exists; otherwise the deepest existing folder on the
// way down to it (starting from the drive or, for a path that starts with the
// delimiter, the top folder); empty when not even the first step exists.
std::string RecentFolderStart(const std::string& sjisCaption,
                              const FolderExists& exists = SjisFolderExists);

}  // namespace replidex
