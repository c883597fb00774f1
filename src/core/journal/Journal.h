// The journal of the changes to the game folder: before the first step of a
// plan runs, the plan is written and flushed to disk in a folder of its own
// (an entry); before the first step, each original that a step overwrites
// is kept in the entry's stash (a second name for the file on the same
// device, else a copy; one flush for all); a trashed file's place in the trash, a copy that had to take
// another slot and a step skipped are appended as they happen (not flushed:
// after a crash each step's state is read from the game folder); a
// completion record closes the entry. The newest 50 entries and at most
// 100 MB of stash are kept.
//
// Undo runs an entry's steps backwards and never removes or replaces a file
// that someone else wrote since.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/journal/JournalPlan.h"

namespace replidex {

// Where a trashed file went: the file in the trash and its info record
// (empty when the trash does not say, as on Windows).
struct TrashPlace {
    std::string file;
    std::string info;
};

// The trash as the journal uses it; the platform supplies both.
struct JournalTrash {
    std::function<TrashResult(const std::string& path, TrashPlace& place, std::error_code& error)> move;
    std::function<std::error_code(const TrashPlace& place, const std::string& to)> restore;
};

// What happened to a step while it ran, as the entry records it.
struct StepRecord {
    std::string name;              // the name actually written (a copy may have taken another slot)
    std::optional<FileFacts> left; // what the copy actually left, when it differs from the plan
    TrashPlace trashPlace;
    bool deletedForNoTrash = false;
    bool stashed = false;          // overwrite: the original is in the stash
    bool skipped = false;          // not run (changed since planning, failed)
};

struct JournalEntry {
    std::string id;
    std::string time;   // ISO 8601, UTC
    OperationPlan plan;
    std::vector<StepRecord> records;   // one per step
    bool complete = false;
    bool undone = false;
    bool seen = false;   // an interrupted entry the user was told about
    std::string folderPath;   // the entry's own folder
};

class JournalStore {
public:
    explicit JournalStore(std::string folder) : folder_(std::move(folder)) {}
    const std::string& folder() const { return folder_; }

    // Every entry, newest first.
    std::vector<JournalEntry> entries() const;
    // The newest complete, not yet undone entry of the game folder.
    std::optional<JournalEntry> lastUndoable(const std::string& gameFolder) const;
    // Entries without a completion record the user was not told about.
    std::vector<JournalEntry> interrupted() const;

    // Writes and flushes a new entry for the plan; its id, or nothing.
    std::optional<std::string> begin(const OperationPlan& plan, std::error_code& error);
    void append(const std::string& id, const std::string& record);
    bool mark(const std::string& id, const char* record);   // "complete", "undone", "seen"
    std::string stashPath(const std::string& id, std::size_t step) const;
    // Keeps the newest `keep` entries and at most `stashBytes` of stash.
    void prune(std::size_t keep = 50, std::uint64_t stashBytes = 100ull * 1024 * 1024);

private:
    std::optional<JournalEntry> read(const std::string& id) const;
    std::string folder_;
};

struct ExecutionOptions {
    // Called after each step has run (tests end the process there).
    std::function<void(std::size_t step)> afterStep;
};

struct ExecutionResult {
    std::string id;                  // empty when the journal could not be written
    std::vector<FileReport> steps;   // one per step of the plan
    OperationReport report;          // one per input, like PlannedReport
};

// Runs the plan's steps, each re-checked: a slot taken since planning is
// never overwritten (the copy takes the next free slot, `target` says which);
// a rename, overwrite or removal whose file changed is skipped
// (ChangedSince). Nothing runs when the journal cannot be written.
ExecutionResult ExecutePlan(JournalStore& store, const OperationPlan& plan, const JournalTrash& trash,
                            const ExecutionOptions& options = {});

// The state of a step, read from the game folder and the entry.
enum class StepState { Done, NotDone, Skipped, Changed };
const char* StepStateName(StepState state);   // "done", "not-done", "skipped", "changed"
std::vector<StepState> ReadStepStates(const JournalEntry& entry);

enum class UndoReason { None, ChangedSince, SlotTaken, Permanent, NotInTrash };
const char* UndoReasonName(UndoReason reason);   // "changed-since", "slot-taken", ...

struct UndoStepResult {
    StepKind kind = StepKind::CopyNew;
    std::string name;
    bool undone = false;
    UndoReason reason = UndoReason::None;
};

// Undoes the entry's finished steps in reverse order and marks it undone;
// the results come in that order.
std::vector<UndoStepResult> UndoEntry(JournalStore& store, const JournalEntry& entry, const JournalTrash& trash);

// A file to remove from the game folder, with what it is expected to hold.
struct ExpectedFile {
    std::string name;
    FileFacts facts;
};

// The archive's removal of files from the game folder, journaled as
// "archive-remove": each file goes to the trash (or at once without
// `toTrash`) only while it still holds the expected bytes.
ExecutionResult JournaledRemoval(JournalStore& store, const std::string& gameFolder,
                                 const std::vector<ExpectedFile>& files, bool toTrash, const JournalTrash& trash);

}  // namespace replidex
