// The operations on the game's replay folder, as plain functions over the
// folder's path: copying replays in under their own slot names (normal
// transfer) or under the next free slots (additional transfer), renumbering
// the slot files without gaps (ascending rename), and removing files into the
// trash or at once. Each answers per file what it did and, for a file it could
// not handle, why; the callers report that to the user.
//
// What the operations promise:
//   - a copy goes through a temporary file, so the game never sees a
//     half-copied REPLAYnn.RPD and a failed copy leaves the old file;
//   - a rename never replaces a file, so a file that appeared meanwhile stays;
//   - only regular files are removed, and a name is only ever joined to the
//     folder when it names an item inside it.
//
// Paths and names are in the file system's own encoding.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/replay/ReplaySlots.h"
#include "core/replay/SafeFileMoves.h"

namespace replidex {

enum class FileOutcome { Copied, Renamed, Trashed, Deleted, Skipped, Failed };

// Why a file was skipped or failed.
enum class FileProblem {
    None,
    NotFound,            // nothing at the path
    NotRegularFile,      // a folder or another item that is no regular file
    NotGameReplayName,   // normal transfer: not a REPLAYnn.RPD name
    AnalysisFailed,      // the replay file could not be analysed
    NotRpdFile,          // removing from the game folder: not a *.RPD name
    UnsafeName,          // the name would reach outside the folder
    NoFreeSlot,          // the free slots ran out
    CannotList,          // the game folder could not be listed
    ReadFailed,          // copying: reading the source failed
    WriteFailed,         // copying: writing the copy failed
    TargetExists,        // a file of the target name is in the way
    PlaceFailed,         // copying: putting the copy in place failed
    RenameFailed,
    TrashFailed,
    DeleteFailed,
    ChangedSince,        // the file changed since the plan was made
    JournalFailed,       // the journal could not be written: nothing ran
};

struct FileReport {
    std::string source;   // the file as handed in (a path, or a name in the folder)
    std::string target;   // the name written in the game folder (copies, renames)
    FileOutcome outcome = FileOutcome::Failed;
    FileProblem problem = FileProblem::None;
    std::error_code error;   // the system's reason, when there is one
    bool noTrash = false;    // removed at once because there was no trash
};

struct OperationReport {
    std::vector<FileReport> files;

    int count(FileOutcome outcome) const;
    int failedCount() const { return count(FileOutcome::Failed); }
    // Removed at once although the trash was asked for.
    int noTrashCount() const;
};

// A short English text of why a file was skipped or failed, with the
// system's reason after a colon when there is one ("no free slot",
// "copy failed: No space left on device").
std::string ProblemText(const FileReport& report);

// ---- which rows of a replay list can be transferred

// What a replay list view knows of one of its selected rows.
struct ListRowFacts {
    bool isFolder = false;
    int rowState = -1;       // the row state class: 0 unchanged, 1 missing, 2 changed, 3 failed, ...
    bool hasEntry = false;   // the row names an entry of the list
    std::string path;        // the entry's file
    std::string fileName;    // its name
};

struct TransferSource {
    std::string path;       // the replay file
    std::string fileName;   // its name (the name the normal transfer writes)
};

// A row can be transferred when it is an entry row whose file is unchanged
// and was analysed successfully (row state 0).
bool IsTransferableRow(const ListRowFacts& row);

// The transferable rows in order; with `gameNamesOnly` only those whose file
// name is a game replay file name (the normal transfer).
std::vector<TransferSource> TransferableRows(const std::vector<ListRowFacts>& rows, bool gameNamesOnly);

// ---- the four operations

// Copies each source to the slot its name stands for, replacing what holds
// the slot: a file of that slot's name in another case keeps its name, a free
// slot gets "REPLAYnn.RPD". A source whose name is no game replay file name is
// skipped.
OperationReport NormalTransfer(const std::string& folder, const std::vector<TransferSource>& sources);

// Copies the sources into the free slots from 00 on, in order, never
// replacing a file: a slot whose name turns out to be taken is passed by.
// Sources left over when the slots run out fail with NoFreeSlot. A source
// that cannot be read fails and leaves its slot to the next one.
OperationReport AdditionalTransfer(const std::string& folder, const std::vector<TransferSource>& sources);

// Renumbers the slot files of `slots` (the folder as listed) from 00 on
// without gaps, keeping their order, each into the lowest free slot below
// it; new names are "REPLAYnn.RPD". A rename never replaces: a file that
// appeared in a target slot since the listing stays and holds that slot, and
// the file moves on to the next free slot below its own (or stays). A file
// that cannot be renamed stays where it is and no later file passes it.
OperationReport AscendingRename(const std::string& folder, SlotTable slots);

// Removes one file: into the trash with `toTrash` (at once when there is no
// trash, marked noTrash), else at once. Only regular files; a file that is
// gone or no regular file is skipped.
FileReport RemoveFile(const std::string& path, bool toTrash, const MoveToTrashFunction& trash);

// A file of the game folder to remove, named as listed.
struct RemoveRequest {
    std::string name;
    bool toTrash = true;
};

// Removes the named *.RPD files of `folder`. A name that is not a plain file
// name fails (UnsafeName) without touching anything; a name without the
// ".RPD" extension is skipped.
OperationReport RemoveFolderFiles(const std::string& folder, const std::vector<RemoveRequest>& requests,
                                  const MoveToTrashFunction& trash);

// What a delete question names a file by: its name when it lies in the game
// folder, else its whole path (resolved, so that "../" shows where it leads).
std::string DeleteQuestionName(const std::string& path, const std::string& gameFolder);

}  // namespace replidex
