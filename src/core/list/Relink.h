// Finding the files of missing entries again under a chosen folder, cheapest
// test first, and pointing the entries at them. Files are only read, never
// moved or changed.
//
//   tier 1 (同一内容): the entry's file was recorded in the content index while
//     present; a file of the recorded size has the recorded hash. Ticked.
//   tier 2 (日時と情報が一致): no record; the file's time equals the entry's
//     fileAge and the facts read again equal the entry's, field by field. Ticked.
//   tier 3 (情報のみ一致): no record; net matches only; the facts are equal, the
//     time is not. Shown, never ticked.
//
// Every file under the folder is stat'ed once; only files whose time equals
// some missing entry's fileAge are analysed (all of them when tier 3 is
// asked for), only files whose size equals a recorded size are hashed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/list/ContentIndex.h"
#include "core/list/ReplayDocument.h"

namespace replidex {

// A replay file found under the chosen folder.
struct FoundFile {
    std::string nativePath;
    std::string sjisPath;   // the path as an entry would hold it
    std::string sjisName;   // its last part, the file name
    FileSizeAndTime facts;

    std::string sjisFolder() const { return sjisPath.substr(0, sjisPath.size() - sjisName.size()); }
};

// Every *.RPD/*.DAT file below `nativeFolder` (symbolic links to folders are
// not followed), stat'ed, in path order. Files whose path has no Shift-JIS
// form cannot be listed and are counted in `unlisted`.
std::vector<FoundFile> FindReplayFiles(const std::string& nativeFolder, int* unlisted = nullptr);

struct RelinkProposal {
    std::vector<ReplayEntry*> entries;   // missing entries that shared one path
    std::string oldFolder;               // Shift-JIS: the entries' folderPath before
    std::string oldPath;                 // Shift-JIS: folderPath + fileName before
    FoundFile found;
    int tier = 0;                        // 1, 2 or 3
    bool ticked = false;
    bool byFolderPattern = false;        // proposed after a relink of its folder
};

struct RelinkOptions {
    bool tier1 = true;
    bool tier2 = true;
    bool tier3 = false;   // 「情報だけで探す」: analyses every file not yet analysed
};

struct RelinkStats {
    int missingEntries = 0;
    int filesSeen = 0;
    int analysed = 0;
    int hashed = 0;
    std::uint64_t bytesRead = 0;
};

// The missing entries below `scope` (every folder of the list when null).
std::vector<ReplayEntry*> MissingEntries(const ReplayDocument& doc, const ReplayFolder* scope);

// The proposals for the missing entries of `scope` among `files`, ordered by
// the first entry's pool slot. Several candidates of one content: the one
// with the entry's file name, else the shortest path, is proposed; candidates
// of differing content are all proposed, none ticked. A file is ticked for
// one old path only (the best tier wins; a tie unticks them all), and never
// for a file the list already holds. `keepGoing` (when given) is asked before
// each file is analysed or hashed; once it answers false the search ends
// without proposals.
std::vector<RelinkProposal> FindRelinks(const ReplayDocument& doc, const ReplayFolder* scope,
                                        const std::vector<FoundFile>& files, const ContentIndex& index,
                                        const RelinkOptions& options, RelinkStats* stats = nullptr,
                                        const std::function<bool()>& keepGoing = {});

// One old disk folder to its new place (Shift-JIS, both ending in the delimiter).
struct FolderMove {
    std::string from;
    std::string to;
    friend bool operator==(const FolderMove&, const FolderMove&) = default;
};
std::vector<FolderMove> FolderMovesOf(const std::vector<RelinkProposal>& relinked);

// After a relink: the missing entries anywhere in the list that lay in a
// moved folder and whose file is in the new folder under its name with the
// entry's time and facts. Tier 2, ticked.
std::vector<RelinkProposal> FolderPatternProposals(const ReplayDocument& doc,
                                                   const std::vector<FolderMove>& moves);

// Points the entries of every ticked proposal at its file: folderPath and
// fileName, fileAge too for tier 3; a tier-1 record moves to the new path.
// Answers the number of entries changed.
int ApplyRelinks(const std::vector<RelinkProposal>& proposals, ContentIndex* index = nullptr);
// Moves the records of the ticked tier-1 proposals to their new paths (what
// ApplyRelinks does to the index), for another copy of the index.
void MoveRelinkedRecords(const std::vector<RelinkProposal>& proposals, ContentIndex& index);

}  // namespace replidex
