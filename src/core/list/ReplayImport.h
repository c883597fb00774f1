// Adding replay files to the replay list, without any window: collecting files
// and folders into a hidden import tree whose entries live in the import pool,
// analysing the collected files, and merging the import tree into a folder of
// the document.
//
// One add operation, as the window and the command line run it:
//
//   ImportTree tree(importPool);                         // clears the pool
//   AddReplayFile(tree, tree.root(), path) / AddReplayFolder(tree, tree.root(), folder)
//   const int n = CountPending(tree.pool(), tree.root());
//   AnalysePending(tree, n, progress);                   // in the progress window from 30 on
//   MergeStats stats;
//   if (MergeImports(&tree, tree.root(), &doc, target, &stats) == kMergePoolFull)
//       show PoolFullMessage();
//   if (stats.modified) mark the document modified;
//   show SkipMessage(tree.skips()) unless it is empty;
//   DeleteImportTree(tree);                              // or let the tree go out of scope
//
// Paths handed in are in the file system's own encoding (UTF-8 on Linux), as
// dialogs, drops and the command line give them; entries keep Shift-JIS bytes.
// A file whose path has no Shift-JIS form is not collected but counted, so that
// one message at the end of the add can say how many were skipped and why.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/list/ReplayDocument.h"

namespace replidex {

// The path delimiter of the file system; every collected folderPath ends in it.
#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr char kPathDelimiter = '/';
#endif

// From this many pending files on, the analysis runs inside the progress window.
inline constexpr int kProgressWindowThreshold = 30;

// What collecting left out, for the message at the end of the add. Files that
// are missing, have another extension or are already in the same import folder
// are left out silently and not counted here.
struct CollectSkips {
    int unrepresentableFiles = 0;    // replay files whose path has no Shift-JIS form
    int unrepresentableFolders = 0;  // folders whose path has no Shift-JIS form
    int poolFullFiles = 0;           // replay files beyond the 65536 the import pool holds
    int unreadableFolders = 0;       // folders that could not be listed
    int linkedAgainFolders = 0;      // folders reached again through a symbolic link (loops)

    int skippedFiles() const { return unrepresentableFiles + poolFullFiles; }
    bool any() const
    {
        return unrepresentableFiles || unrepresentableFolders || poolFullFiles ||
               unreadableFolders || linkedAgainFolders;
    }
};

// The hidden tree of one add operation: a root folder "Dummy" standing for the
// target folder, entry lists of import-pool indices, and a visit mark for each
// folder (1 = the analysis entered it). Destroying the tree releases every
// entry it still lists from the import pool.
class ImportTree {
public:
    // Clears the import pool and creates the root "Dummy".
    explicit ImportTree(EntryPool& importPool);
    ~ImportTree();
    ImportTree(const ImportTree&) = delete;
    ImportTree& operator=(const ImportTree&) = delete;

    EntryPool& pool() const { return pool_; }
    // Null once the tree was deleted.
    ReplayFolder* root() const { return root_.get(); }

    // 0 or 1; a folder never visited has 0.
    int visitMark(const ReplayFolder* folder) const;
    void setVisitMark(const ReplayFolder* folder, int mark);
    // Forgets what the tree knows about `folder` and everything below it,
    // before the folder is destroyed.
    void forgetFolder(const ReplayFolder& folder);

    const CollectSkips& skips() const { return skips_; }
    CollectSkips& skips() { return skips_; }
    // Replay files taken into the tree so far.
    int collectedFiles() const { return collected_; }

private:
    friend bool AddReplayFile(ImportTree&, ReplayFolder*, const std::string&);
    friend void DeleteImportTree(ImportTree&);

    EntryPool& pool_;
    std::unique_ptr<ReplayFolder> root_;
    std::unordered_map<const ReplayFolder*, int> visitMarks_;
    // Full paths (Shift-JIS) listed by each import folder, for the duplicate test.
    std::unordered_map<const ReplayFolder*, std::unordered_set<std::string>> listed_;
    CollectSkips skips_;
    int collected_ = 0;
    // Disk folder paths: the files of one folder share its text.
    SharedTextTable folderPaths_;
};

// True for a name ending in ".RPD" or ".DAT" in any letter case.
bool IsReplayFileName(const std::string& name);

// Position of the last path delimiter of a Shift-JIS path, never the second
// byte of a two-byte character; npos when there is none.
std::size_t LastSjisDelimiter(std::string_view path);

// True when `nativePath` names an existing folder (AddFolderReplays does
// nothing for anything else).
bool IsExistingFolder(const std::string& nativePath);

// Collects the file at `nativePath` into `folder` of the tree: a new import
// entry (kind 3, its file time, no info) appended to the folder's list. False
// when the folder is missing, the file does not exist or is no regular file,
// its extension is not .RPD/.DAT, the folder already lists the same path, the
// path has no Shift-JIS form, or the import pool is full (the last two are
// counted in the tree's skips).
bool AddReplayFile(ImportTree& tree, ReplayFolder* folder, const std::string& nativePath);

// Collects the folder at `nativePath` with everything below it: the folder
// becomes the child of `folder` with its name (an existing child of that name
// is used again), each sub-folder recursively a child of that, each file goes
// to AddReplayFile. Folders without replay files are kept, empty. Folders that
// cannot be listed and folders reached again through symbolic links are
// skipped and counted.
void AddReplayFolder(ImportTree& tree, ReplayFolder* folder, const std::string& nativePath);

// Number of entries below `root` (depth-first, the root included) that exist
// in `pool` and have no info yet.
int CountPending(const EntryPool& pool, const ReplayFolder* root);

// Called after each analysed file with the files done so far and the total;
// answers false to cancel (the window processes its pending events here and
// answers whether キャンセル was pressed).
using AnalyseProgress = std::function<bool(int done, int total)>;

struct AnalyseOutcome {
    int analysed = 0;   // files analysed (failed ones included)
    int failed = 0;     // analyses that failed (the entry keeps the failed info)
    bool cancelled = false;
};

// Analyses every pending entry of the tree, depth-first as CountPending counts
// them, setting each folder's visit mark (1 when entered). `total` is the
// number CountPending gave; it is only passed on to `progress`. When
// `progress` answers false, no further file is analysed and no further folder
// entered.
AnalyseOutcome AnalysePending(ImportTree& tree, int total, const AnalyseProgress& progress = {});

// The progress window's text "%d/%dファイルを解析 (%3.0lf％)" (Shift-JIS).
std::string ProgressText(int done, int total);

enum MergeResult : int {
    kMergeDone = 0,
    kMergePoolFull = 1,   // the document pool is full; what was merged before stays
    kMergeNoFolder = 2,   // a tree or folder is missing
};

// What a merge did, for the caller: whether the document changed (the window
// marks it modified) and counts for a summary.
struct MergeStats {
    bool modified = false;
    int added = 0;       // new entries in the document
    int refreshed = 0;   // listed entries re-read in place (memo kept)
    int unchanged = 0;   // listed entries whose file had not changed
    int dropped = 0;     // entries not analysed (cancelled) or in folders never entered
    int foldersCreated = 0;
};

// Merges import folder `importFolder` of `tree` into folder `target` of the
// document: analysed entries become document entries (a file the target
// already lists is left alone when its time is unchanged and re-read in place,
// memo kept, when it changed), entries the analysis never reached are dropped,
// entered sub-folders merge into the target's sub-folders of the same name
// (created at the end when missing), sub-folders never entered are dropped.
// Stops with kMergePoolFull at the first entry the document pool has no slot
// for. Merged entries are released from the import pool.
int MergeImports(ImportTree* tree, ReplayFolder* importFolder, ReplayDocument* doc,
                 ReplayFolder* target, MergeStats* stats = nullptr);

// Deletes the import tree's folders, releasing every entry they still list
// from the import pool. The tree has no root afterwards.
void DeleteImportTree(ImportTree& tree);

// "登録できる数(65536)を超えています。" (Shift-JIS), shown once when a merge
// answers kMergePoolFull.
std::string PoolFullMessage();

// The one message at the end of an add that says what collecting skipped and
// why (Shift-JIS, lines separated by "\n"); empty when nothing was skipped.
std::string SkipMessage(const CollectSkips& skips);

// The folder part of `nativePath` (up to and including its last delimiter) in
// Shift-JIS, as the recent folders record it for an added file. False when
// there is no delimiter or the folder part has no Shift-JIS form (the file's
// own name need not have one).
bool RecentFolderOfFile(const std::string& nativePath, std::string& sjisFolder);
// `nativeFolder` followed by the delimiter (none added when it already ends in
// one) in Shift-JIS, as the recent folders record an added folder. False when
// it has no Shift-JIS form.
bool RecentFolderOfFolder(const std::string& nativeFolder, std::string& sjisFolder);

}  // namespace replidex
