// Archiving the game's replays: the plan says for each slot file of the game
// folder whether it is to be copied into the archive folder (and under which
// name) or already lies there; the run carries the plan out, copying through
// a temporary file and never overwriting, and removes a slot file from the
// game folder only after its archived copy has been read back byte-equal.
//
// "Already archived" means a file of the same size and the same bytes lies
// anywhere under the archive folder. The sizes are listed once per plan, so
// that only files of equal size are ever read.
//
// Paths are native (UTF-8); templates Shift-JIS.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/archive/ArchiveNames.h"
#include "core/file/NativeFiles.h"
#include "core/journal/Journal.h"
#include "core/replay/ReplayRecords.h"
#include "core/replay/SafeFileMoves.h"

namespace replidex {

struct ArchiveTemplates {
    std::string name = std::string(kDefaultNameTemplate);
    std::string folder = std::string(kDefaultFolderTemplate);
};

enum class ArchiveState { Archive, Already, Failed };

struct PlannedSlot {
    int slot = -1;
    std::string fileName;     // the slot file's name on disk (any case)
    std::string sourcePath;
    std::uint64_t size = 0;
    std::tm fileTime{};
    ReplayInfo info;          // failed analyses keep the failed block
    // The bytes the plan read and analysed, kept for the run (null when the
    // plan held none); the run copies them only while the slot file still
    // holds them.
    std::shared_ptr<const FileBytes> bytes;
    ArchiveState state = ArchiveState::Failed;
    std::string target;       // the archived copy: planned, or the one already there
    std::string relative;     // target below the archive folder, "/" between folders
    std::vector<std::string> listFolders;   // Shift-JIS folder names of the target (archived ones)
    std::string reason;       // why it failed
};

struct ArchivePlan {
    std::string gameDir;
    std::string archiveDir;
    std::vector<PlannedSlot> files;   // one per slot file, in slot order
    std::error_code listError;        // the game folder could not be listed
};

// Plans the archive of every slot file of `gameDir` (or only of `onlySlots`).
ArchivePlan PlanArchive(const std::string& gameDir, const std::string& archiveDir,
                        const ArchiveTemplates& templates, const std::vector<int>* onlySlots = nullptr);

// The archive name `templates` give the slot, below the archive folder
// ("/" between folders), before any " (n)" for a taken name: the preview of
// a template being edited.
std::string PreviewArchiveName(const PlannedSlot& slot, const ArchiveTemplates& templates);

enum class RemovalKind { None, Trash, Delete };

struct ArchiveOutcome {
    std::string fileName;
    ArchiveState state = ArchiveState::Failed;   // Archive: it was (or is to be) archived
    std::string target;
    std::string relative;
    std::vector<std::string> listFolders;
    bool copied = false;      // an archived copy was made by this run
    std::optional<ReplayInfo> info;   // copied: the analysis of the bytes copied
    RemovalKind removed = RemovalKind::None;
    std::string reason;
};

struct ArchiveRunOptions {
    bool removeFromGame = false;
    MoveToTrashFunction trash;   // none: removal deletes at once
    // With a journal, the slot files are removed after every copy has been
    // made, as one journal entry "archive-remove" (so that undo brings them
    // back), through `journalTrash` (no move: removal deletes at once);
    // `trash` is then not used.
    JournalStore* journal = nullptr;
    JournalTrash journalTrash;
};

// What the run would report when nothing goes wrong (a dry run).
std::vector<ArchiveOutcome> PlannedOutcomes(const ArchivePlan& plan, const ArchiveRunOptions& options);

// Carries the plan out; the outcomes are in the plan's order.
std::vector<ArchiveOutcome> RunArchive(const ArchivePlan& plan, const ArchiveRunOptions& options);

struct RemovalResult {
    RemovalKind kind = RemovalKind::None;   // None: the slot file stays
    std::string reason;
};

// The one way a slot file leaves the game folder: `slotName` (a REPLAYnn.RPD
// name in `gameDir`) is moved to the trash (`toTrash`; deleted at once when
// there is none) or deleted, only when `archivedCopy` is another file that
// holds exactly its bytes.
RemovalResult RemoveArchivedSlot(const std::string& gameDir, const std::string& slotName,
                                 const std::string& archivedCopy, bool toTrash, const MoveToTrashFunction& trash);

struct ArchiveCounts {
    int archived = 0, already = 0, failed = 0, removed = 0;
};
ArchiveCounts CountOutcomes(const std::vector<ArchiveOutcome>& outcomes);

}  // namespace replidex
