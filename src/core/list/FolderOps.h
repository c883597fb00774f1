// Folder and entry-list operations of the replay list that need no widget:
// finding folders and entries, adding entries with duplicate handling,
// removing and deleting entries, purging, creating, renaming, deleting,
// moving and merging folders, and moving list rows into a folder.
// Operations that change the document say so through `modified`, so that the
// window can mark the document modified and refresh what it shows. Messages
// for the user come back as Shift-JIS texts; the window shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/list/ListFile.h"
#include "core/list/ReplayDocument.h"

namespace replidex {

// The first child of `folder` whose name equals `name` exactly, or nullptr.
ReplayFolder* FindChildFolder(const ReplayFolder* folder, std::string_view name);

// Place of `child` among its parent's children, or -1.
int ChildRow(const ReplayFolder* child);

// Position in the folder's entry list of the first entry (skipping empty pool
// slots) whose full path equals `fullPath` exactly; -1 when none.
int FindEntryIndex(const ReplayFolder* folder, const EntryPool& pool, std::string_view fullPath);

enum AddEntryCode : int {
    kAddedNew = 0,        // appended
    kAddedUnchanged = 1,  // same file unchanged: the existing entry stays
    kAddedReplaced = 2,   // same path, other time: the old entry was replaced
    kAddRefused = 3,      // no folder or no entry
};

struct AddEntryResult {
    int code = kAddRefused;
    std::int32_t index = -1;   // pool index of the entry the folder now lists
    bool modified = false;
};

// Puts `entry` (already in `pool`) into `folder`, handling an entry of the same
// full path as the list's duplicate rules say (memo kept or replaced, old or
// new entry released from the pool). An entry that is not the object in its
// pool slot is refused (code 3) so that no foreign index enters a list; an
// entry the folder already lists is left where it is (code 1).
AddEntryResult AddEntryToFolder(ReplayFolder* folder, ReplayEntry* entry, EntryPool& pool);

// Removes the index of the entry with this full path from the folder's list
// (the entry stays in the pool). True when something was removed.
bool RemoveEntryFromFolder(ReplayFolder* folder, const EntryPool& pool, std::string_view fullPath);
// The same, and releases the entry from the pool.
bool DeleteEntryFromFolder(ReplayFolder* folder, EntryPool& pool, std::string_view fullPath);
// Removes, last position first, every index whose pool slot is empty.
// Answers how many were removed.
int PurgeFolder(ReplayFolder* folder, const EntryPool& pool);
// True when `b` lies anywhere below `a`.
bool IsDescendant(const ReplayFolder* a, const ReplayFolder* b);
// Releases every entry of the folder and its sub-folders from `pool` (last
// first) and detaches the folder from its parent, destroying it. A top-level
// folder (no parent) is emptied and its children removed; the caller removes
// the node itself from its owner.
void DeleteFolderTree(ReplayFolder* folder, EntryPool& pool);
// Deletes the child of `parent` named `name` with everything below it.
// True (the document changed) when there was such a child.
bool DeleteSubFolder(ReplayFolder* parent, std::string_view name, EntryPool& pool);

// Appends every entry of the source's list to the target, in list order, by
// AddEntryToFolder. The source's list keeps its indices (some of them now
// name empty slots); the caller detaches it. True when the target changed.
bool MergeFolderEntries(ReplayFolder* source, ReplayFolder* target, EntryPool& pool);

// The status bar text "フォルダ:%d個 ファイル:%d個": child folders and indices
// in the entry list (0 and 0 without folder or list).
std::string FolderStatusText(const ReplayFolder* folder);

// ---------------------------------------------------------------- nesting

// The list file keeps folders of depth 0 (the root) to kListMaxDepth, and the
// entries of a folder of depth d are records of depth d + 1; so a folder whose
// entries must survive saving lies at most kMaxFolderDepth below the root.
inline constexpr int kMaxFolderDepth = kListMaxDepth - 1;

// 0 for a folder without parent, one more per ancestor; -1 without folder.
int FolderDepth(const ReplayFolder* folder);
// Levels of folders below `folder`: 0 without children (or without folder).
int SubtreeHeight(const ReplayFolder* folder);
// Empty when a new child of `parent` would keep within the limit, else the
// message to show.
std::string CheckNewFolderDepth(const ReplayFolder* parent);
// Empty when `source` with its sub-folders fits below `target`, else the
// message to show.
std::string CheckMoveDepth(const ReplayFolder* source, const ReplayFolder* target);
// Empty when entries put into `folder` would be saved, else the message.
std::string CheckEntryDepth(const ReplayFolder* folder);

// ---------------------------------------------------------------- creating, renaming

// The first name "New_0" .. "New_9999" that no child of `parent` has; none
// when all are taken or there is no parent.
std::optional<SjisString> NewFolderName(const ReplayFolder* parent);

struct CreateFolderResult {
    ReplayFolder* folder = nullptr;  // the new last child of the parent
    bool modified = false;
    std::string message;             // a refusal to show; empty when silent
};

// Appends a child with the first free "New_%d" name. Nothing happens (and
// nothing is said) when every name is taken; the nesting limit is reported.
CreateFolderResult CreateSubFolder(ReplayFolder* parent);

struct RenameResult {
    bool accepted = false;  // false: the edit is cancelled, the old name stays
    bool modified = false;
    std::string message;    // shown when refused
};

// Renames `folder` as an in-place edit does: refused when a sibling already
// has the name; the root and empty names are accepted. A name longer than the
// list file keeps (255 bytes) is cut on a character boundary first.
RenameResult RenameFolder(ReplayFolder* folder, std::string_view newName);

// ---------------------------------------------------------------- moving folders

enum class FolderMoveVerdict {
    Allowed,
    NoChange,       // the target already is the source's parent: nothing to do
    Refused,        // show `message` in an OK box
    AskOverwrite,   // ask `message` in an OK/Cancel box; OK merges
};

struct FolderMoveCheck {
    FolderMoveVerdict verdict = FolderMoveVerdict::Refused;
    std::string message;
    const ReplayFolder* existing = nullptr;  // the same-named child of the target
};

// Whether `source` may move into `target`: the same folder, a descendant and
// the nesting limit refuse; a same-named child of the target asks to merge.
FolderMoveCheck CanMoveFolder(const ReplayFolder* source, const ReplayFolder* target);

// Shows a check to the user: an OK box for a refusal (the answer is ignored),
// an OK/Cancel question for an overwrite (true on OK).
using FolderMoveAsk = std::function<bool(const FolderMoveCheck&)>;

// CanMoveFolder with its message boxes: true when the move may go ahead.
// Without `ask` refusals are silent and questions answer Cancel.
bool ConfirmFolderMove(const ReplayFolder* source, const ReplayFolder* target,
                       const FolderMoveAsk& ask);

// Lets a tree model follow the nodes that MoveFolder inserts and removes:
// each insertion or removal of the child at `row` of `parent` is announced
// before and after it happens.
struct FolderTreeEvents {
    std::function<void(ReplayFolder* parent, int row)> beforeInsert;
    std::function<void(ReplayFolder* parent, int row)> afterInsert;
    std::function<void(ReplayFolder* parent, int row)> beforeRemove;
    std::function<void(ReplayFolder* parent, int row)> afterRemove;
};

struct MoveFolderResult {
    ReplayFolder* moved = nullptr;  // the destination: the folder to select
    bool modified = false;
    std::string message;            // a refusal to show (nesting limit)
};

// Moves `source` with everything below it into `target`, merging it into a
// same-named child of the target and, level by level, its sub-folders into
// same-named sub-folders. Asks nothing (the caller confirms first), but never
// makes a folder its own descendant, never moves a folder without parent or
// into its own parent, and keeps the nesting limit.
MoveFolderResult MoveFolder(ReplayFolder* source, ReplayFolder* target, EntryPool& pool,
                            const FolderTreeEvents* events = nullptr);

// ---------------------------------------------------------------- moving rows

// A selected row of a replay list view, top to bottom.
struct MovedRow {
    bool isFolder = false;
    SjisString text;               // folder row: the folder's name
    std::int32_t entryIndex = -1;  // entry row: its row data, updated by the move
};

enum class FolderRowRule {
    Checked,  // rows dropped on a tree folder: CanMoveFolder with its boxes
    Direct,   // rows dropped on a folder row: the target itself is skipped,
              // the others move (and merge) without asking
};

struct MoveRowsResult {
    bool modified = false;
    ReplayFolder* lastMoved = nullptr;  // the last folder moved, to select
};

// Moves the selected rows of the list showing `shown` into `target`: entry
// rows are added to the target (merged or replaced by path and time) and
// leave `shown`; folder rows move as folders. Both folders are purged.
// Nothing happens when the target is the shown folder or cannot hold entries
// within the nesting limit (said through `ask`).
MoveRowsResult MoveRowsToFolder(ReplayFolder* shown, ReplayFolder* target,
                                std::vector<MovedRow>& rows, EntryPool& pool, FolderRowRule rule,
                                const FolderMoveAsk& ask,
                                const FolderTreeEvents* events = nullptr);

}  // namespace replidex
