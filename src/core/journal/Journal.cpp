#include "core/journal/Journal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <sstream>

#include "core/file/ContentHash.h"
#include "core/file/NativeFiles.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace replidex {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "replidex-journal 1";

// Fields are separated by tabs; a tab, line end or backslash inside one is
// escaped.
std::string Escape(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(Unescape(line.substr(start, tab - start)));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::uint64_t Number(const std::string& text)
{
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string Join(std::initializer_list<std::string> fields)
{
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += '\t';
        line += Escape(f);
    }
    return line + '\n';
}

std::string ReadText(const std::string& path)
{
    std::string text;
    if (std::FILE* f = OpenFileStream(path, "rb")) {
        char buffer[8192];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(FsPath(path), error));
}

bool Holds(const std::string& path, const FileFacts& facts)
{
    const std::optional<FileFacts> now = ReadFileFacts(path);
    return now && *now == facts;
}

std::string NewId(std::string& isoTime)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count() %
                       1000000000;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char stamp[32], iso[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &utc);
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%SZ", &utc);
    isoTime = iso;
    char id[80];
    std::snprintf(id, sizeof id, "%s.%09lld-%04x", stamp, static_cast<long long>(nanos),
                  static_cast<unsigned>(std::random_device{}() & 0xFFFF));
    return id;
}

std::string Normalized(const std::string& folder)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(FsPath(folder), error), error);
    return NativePathOf((canonical / "").lexically_normal());
}

std::uint64_t FolderBytes(const std::string& folder)
{
    std::uint64_t bytes = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(FsPath(folder), error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) bytes += it->file_size(error);
    return bytes;
}

FileReport StepReport(const PlannedStep& step, FileOutcome outcome, FileProblem problem = FileProblem::None,
                      std::error_code error = {})
{
    FileReport r;
    const bool removal = step.kind == StepKind::Trash || step.kind == StepKind::Delete;
    r.source = removal ? step.name : step.source;
    r.target = removal ? std::string() : step.name;
    r.outcome = outcome;
    r.problem = problem;
    r.error = error;
    return r;
}

FileProblem ProblemOfCopy(const CopyResult& copy)
{
    switch (copy.failedStep) {
    case CopyStep::ReadSource: return FileProblem::ReadFailed;
    case CopyStep::WriteTarget: return FileProblem::WriteFailed;
    case CopyStep::PlaceTarget:
        return copy.error == std::errc::file_exists ? FileProblem::TargetExists : FileProblem::PlaceFailed;
    case CopyStep::None: break;
    }
    return FileProblem::None;
}

// Keeps the original at `path` in the stash: a second name for the same file
// when both lie on one device (the overwrite then puts a new file in the
// place and the original lives on under the stash name), else a flushed
// copy.
bool StashOriginal(const std::string& path, const std::string& stash)
{
    std::error_code error;
    fs::create_hard_link(FsPath(path), FsPath(stash), error);
    return !error || CopyViaTemporary(path, stash, true).ok();
}

// Makes the names made in `folder` durable (one flush for all of them).
void SyncFolder(const std::string& folder)
{
#ifndef _WIN32
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
}

// Runs one step; `slots` is the folder as it now stands, with every planned
// name taken.
class StepRunner {
public:
    StepRunner(JournalStore& store, const std::string& id, const OperationPlan& plan, const JournalTrash& trash,
               SlotTable slots)
        : store_(store), id_(id), plan_(plan), trash_(trash), slots_(std::move(slots))
    {
    }

    // Before the first step: every original that an overwrite replaces goes
    // into the stash, made durable by one flush of the stash folder.
    void stashOriginals()
    {
        bool any = false;
        stashed_.assign(plan_.steps.size(), false);
        for (std::size_t i = 0; i < plan_.steps.size(); ++i) {
            const PlannedStep& step = plan_.steps[i];
            if (step.kind != StepKind::Overwrite) continue;
            const std::string path = JoinPath(plan_.folder, step.name);
            if (!Holds(path, step.replaced) || !StashOriginal(path, store_.stashPath(id_, i))) continue;
            stashed_[i] = any = true;
            store_.append(id_, Join({"stash", std::to_string(i)}));
        }
        if (any) SyncFolder(JoinPath(JoinPath(store_.folder(), id_), "stash"));
    }

    FileReport run(std::size_t i)
    {
        const PlannedStep& step = plan_.steps[i];
        const std::string path = JoinPath(plan_.folder, step.name);
        switch (step.kind) {
        case StepKind::CopyNew: return copyNew(i, step);
        case StepKind::Overwrite: {
            if (!Holds(path, step.replaced)) return skip(i, step, FileProblem::ChangedSince);
            if (!stashed_[i]) {
                const CopyResult kept = CopyViaTemporary(path, store_.stashPath(id_, i), true);
                if (!kept.ok()) return skip(i, step, FileProblem::WriteFailed, kept.error);
                store_.append(id_, Join({"stash", std::to_string(i)}));
            }
            const CopyResult copy = CopyViaTemporary(step.source, path, true);
            if (!copy.ok()) return skip(i, step, ProblemOfCopy(copy), copy.error);
            noteWritten(i, step, path);
            return StepReport(step, FileOutcome::Copied);
        }
        case StepKind::Rename: {
            const std::string from = JoinPath(plan_.folder, step.source);
            if (!Holds(from, step.facts)) return skip(i, step, FileProblem::ChangedSince);
            const std::error_code error = RenameWithoutReplace(from, path);
            if (error)
                return skip(i, step,
                            error == std::errc::file_exists ? FileProblem::TargetExists : FileProblem::RenameFailed,
                            error);   // a target taken since planning: both files stay, a skip
            return StepReport(step, FileOutcome::Renamed);
        }
        case StepKind::Trash:
        case StepKind::Delete: {
            if (!Holds(path, step.facts)) return skip(i, step, FileProblem::ChangedSince);
            if (step.kind == StepKind::Trash) {
                TrashPlace place;
                std::error_code error;
                const TrashResult result = trash_.move ? trash_.move(path, place, error) : TrashResult::NoTrash;
                if (result == TrashResult::Trashed) {
                    store_.append(id_, Join({"trash", std::to_string(i), place.file, place.info}));
                    return StepReport(step, FileOutcome::Trashed);
                }
                if (result == TrashResult::Failed) return skip(i, step, FileProblem::TrashFailed, error);
                store_.append(id_, Join({"notrash", std::to_string(i)}));
            }
            if (const std::error_code error = RemoveRegularFile(path))
                return skip(i, step, FileProblem::DeleteFailed, error);
            FileReport r = StepReport(step, FileOutcome::Deleted);
            r.noTrash = step.kind == StepKind::Trash;
            return r;
        }
        }
        return skip(i, step, FileProblem::None);
    }

private:
    FileReport copyNew(std::size_t i, const PlannedStep& step)
    {
        std::string name = step.name;
        int slot = SlotOfFileName(name);
        for (;;) {
            const std::string path = JoinPath(plan_.folder, name);
            const CopyResult copy = Exists(path) ? CopyResult{CopyStep::PlaceTarget,
                                                              std::make_error_code(std::errc::file_exists)}
                                                 : CopyViaTemporary(step.source, path, false);
            if (copy.ok()) {
                noteWritten(i, step, path);
                FileReport r = StepReport(step, FileOutcome::Copied);
                r.target = name;
                return r;
            }
            if (ProblemOfCopy(copy) != FileProblem::TargetExists || slot < 0)
                return skip(i, step, ProblemOfCopy(copy), copy.error);
            // Taken since planning: that file stays, the copy takes the next free slot.
            slots_.take(slot, name);
            slot = slots_.firstFreeFrom(slot + 1);
            if (slot < 0) return skip(i, step, FileProblem::NoFreeSlot);
            name = SlotFileName(slot);
            slots_.take(slot, name);
            store_.append(id_, Join({"name", std::to_string(i), name}));
        }
    }

    void noteWritten(std::size_t i, const PlannedStep& step, const std::string& path)
    {
        const std::optional<FileFacts> left = ReadFileFacts(path);
        if (left && *left != step.facts)
            store_.append(id_, Join({"left", std::to_string(i), std::to_string(left->size), HashText(left->hash)}));
    }

    FileReport skip(std::size_t i, const PlannedStep& step, FileProblem problem, std::error_code error = {})
    {
        store_.append(id_, Join({"skip", std::to_string(i)}));
        // The folder changing under the plan (a file changed, a target taken)
        // leaves everything in place: a skip. Anything else failed.
        const bool folderChanged = problem == FileProblem::ChangedSince ||
                                   (step.kind == StepKind::Rename && problem == FileProblem::TargetExists);
        const FileOutcome outcome = folderChanged ? FileOutcome::Skipped : FileOutcome::Failed;
        return StepReport(step, outcome, problem, error);
    }

    JournalStore& store_;
    const std::string& id_;
    const OperationPlan& plan_;
    const JournalTrash& trash_;
    SlotTable slots_;
    std::vector<bool> stashed_;
};

}  // namespace

// ---- the store

std::string JournalStore::stashPath(const std::string& id, std::size_t step) const
{
    return JoinPath(JoinPath(JoinPath(folder_, id), "stash"), std::to_string(step));
}

std::optional<std::string> JournalStore::begin(const OperationPlan& plan, std::error_code& error)
{
    std::string time;
    const std::string id = NewId(time);
    const std::string entry = JoinPath(folder_, id);
    fs::create_directories(FsPath(JoinPath(entry, "stash")), error);
    if (error) return std::nullopt;
    std::string text = std::string(kHeader) + "\n";
    text += Join({"op", OperationKindName(plan.kind)});
    std::error_code ignored;   // the folder as an absolute path: undo may run from anywhere
    text += Join({"folder", NativePathOf(fs::absolute(FsPath(plan.folder), ignored).lexically_normal())});
    text += Join({"time", time});
    text += Join({"inputs", std::to_string(plan.inputCount)});
    for (const PlannedStep& s : plan.steps)
        text += Join({"step", StepKindName(s.kind), s.name, s.source, std::to_string(s.facts.size),
                      HashText(s.facts.hash), std::to_string(s.replaced.size), HashText(s.replaced.hash),
                      std::to_string(s.input)});
    for (const auto& [input, r] : plan.refused)
        text += Join({"refused", std::to_string(input), std::to_string(static_cast<int>(r.outcome)),
                      std::to_string(static_cast<int>(r.problem)), r.source});
    const int fd = CreateNewFile(JoinPath(entry, "plan"));
    if (fd < 0) {
        error = std::error_code(errno, std::generic_category());
        return std::nullopt;
    }
    const bool written = WriteToFile(fd, text.data(), text.size()) == static_cast<long long>(text.size());
    if (!CloseFile(fd, true) || !written) {
        error = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    return id;
}

void JournalStore::append(const std::string& id, const std::string& record)
{
    if (std::FILE* f = OpenFileStream(JoinPath(JoinPath(folder_, id), "log"), "ab")) {
        std::fwrite(record.data(), 1, record.size(), f);
        std::fclose(f);
    }
}

bool JournalStore::mark(const std::string& id, const char* record)
{
    const int fd = CreateNewFile(JoinPath(JoinPath(folder_, id), record));
    if (fd < 0) return errno == EEXIST;
    return CloseFile(fd, true);
}

std::optional<JournalEntry> JournalStore::read(const std::string& id) const
{
    const std::string entryFolder = JoinPath(folder_, id);
    const std::vector<std::string> lines = Lines(ReadText(JoinPath(entryFolder, "plan")));
    if (lines.empty() || lines[0] != kHeader) return std::nullopt;
    JournalEntry entry;
    entry.id = id;
    entry.folderPath = entryFolder;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::vector<std::string> f = Fields(lines[n]);
        if (f[0] == "op" && f.size() == 2) {
            if (const auto kind = OperationKindFromName(f[1])) entry.plan.kind = *kind;
        } else if (f[0] == "folder" && f.size() == 2) {
            entry.plan.folder = f[1];
        } else if (f[0] == "time" && f.size() == 2) {
            entry.time = f[1];
        } else if (f[0] == "inputs" && f.size() == 2) {
            entry.plan.inputCount = static_cast<int>(Number(f[1]));
        } else if (f[0] == "step" && f.size() == 9) {
            const auto kind = StepKindFromName(f[1]);
            if (!kind) return std::nullopt;
            entry.plan.steps.push_back({*kind, f[2], f[3], {Number(f[4]), ParseHash64(f[5]).value_or(0)},
                                        {Number(f[6]), ParseHash64(f[7]).value_or(0)},
                                        static_cast<int>(Number(f[8]))});
        } else if (f[0] == "refused" && f.size() == 5) {
            FileReport r;
            r.outcome = static_cast<FileOutcome>(Number(f[2]));
            r.problem = static_cast<FileProblem>(Number(f[3]));
            r.source = f[4];
            entry.plan.refused.push_back({static_cast<int>(Number(f[1])), r});
        }
    }
    entry.records.resize(entry.plan.steps.size());
    for (std::size_t i = 0; i < entry.records.size(); ++i) entry.records[i].name = entry.plan.steps[i].name;
    for (const std::string& line : Lines(ReadText(JoinPath(entryFolder, "log")))) {
        const std::vector<std::string> f = Fields(line);
        if (f.size() < 2) continue;
        const std::size_t i = static_cast<std::size_t>(Number(f[1]));
        if (i >= entry.records.size()) continue;
        StepRecord& r = entry.records[i];
        if (f[0] == "name" && f.size() == 3) r.name = f[2];
        else if (f[0] == "left" && f.size() == 4) r.left = FileFacts{Number(f[2]), ParseHash64(f[3]).value_or(0)};
        else if (f[0] == "trash" && f.size() == 4) r.trashPlace = {f[2], f[3]};
        else if (f[0] == "notrash") r.deletedForNoTrash = true;
        else if (f[0] == "stash") r.stashed = true;
        else if (f[0] == "skip") r.skipped = true;
    }
    entry.complete = Exists(JoinPath(entryFolder, "complete"));
    entry.undone = Exists(JoinPath(entryFolder, "undone"));
    entry.seen = Exists(JoinPath(entryFolder, "seen"));
    return entry;
}

std::vector<JournalEntry> JournalStore::entries() const
{
    std::vector<std::string> ids;
    std::error_code error;
    for (fs::directory_iterator it(FsPath(folder_), error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error)) ids.push_back(NativePathOf(it->path().filename()));
    std::sort(ids.rbegin(), ids.rend());
    std::vector<JournalEntry> list;
    for (const std::string& id : ids)
        if (std::optional<JournalEntry> entry = read(id)) list.push_back(std::move(*entry));
    return list;
}

std::optional<JournalEntry> JournalStore::lastUndoable(const std::string& gameFolder) const
{
    const std::string wanted = Normalized(gameFolder);
    for (JournalEntry& entry : entries())
        if (entry.complete && !entry.undone && Normalized(entry.plan.folder) == wanted) return std::move(entry);
    return std::nullopt;
}

std::vector<JournalEntry> JournalStore::interrupted() const
{
    std::vector<JournalEntry> list;
    for (JournalEntry& entry : entries())
        if (!entry.complete && !entry.seen && !entry.undone) list.push_back(std::move(entry));
    return list;
}

void JournalStore::prune(std::size_t keep, std::uint64_t stashBytes)
{
    std::uint64_t total = 0;
    std::size_t kept = 0;
    for (const JournalEntry& entry : entries()) {
        total += FolderBytes(JoinPath(entry.folderPath, "stash"));
        if (++kept > keep || (kept > 1 && total > stashBytes)) {
            std::error_code error;
            fs::remove_all(FsPath(entry.folderPath), error);
        }
    }
}

// ---- running a plan

ExecutionResult ExecutePlan(JournalStore& store, const OperationPlan& plan, const JournalTrash& trash,
                            const ExecutionOptions& options)
{
    ExecutionResult result;
    OperationReport planned = PlannedReport(plan);
    std::error_code error;
    const std::optional<std::string> id = store.begin(plan, error);
    if (!id) {
        for (const PlannedStep& step : plan.steps)
            result.steps.push_back(StepReport(step, FileOutcome::Failed, FileProblem::JournalFailed, error));
    } else {
        result.id = *id;
        std::error_code listError;
        SlotTable slots(ListFolder(plan.folder, listError));
        for (const PlannedStep& step : plan.steps)
            if (const int slot = SlotOfFileName(step.name); slot >= 0 && slots.isFree(slot)) slots.take(slot, step.name);
        StepRunner runner(store, *id, plan, trash, std::move(slots));
        runner.stashOriginals();
        for (std::size_t i = 0; i < plan.steps.size(); ++i) {
            result.steps.push_back(runner.run(i));
            if (options.afterStep) options.afterStep(i);
        }
        store.mark(*id, "complete");
        store.prune();
    }
    for (std::size_t i = 0; i < plan.steps.size(); ++i)
        planned.files[static_cast<std::size_t>(plan.steps[i].input)] = result.steps[i];
    result.report = std::move(planned);
    return result;
}

// ---- states and undo

const char* StepStateName(StepState state)
{
    switch (state) {
    case StepState::Done: return "done";
    case StepState::NotDone: return "not-done";
    case StepState::Skipped: return "skipped";
    case StepState::Changed: return "changed";
    }
    return "";
}

const char* UndoReasonName(UndoReason reason)
{
    switch (reason) {
    case UndoReason::None: return "";
    case UndoReason::ChangedSince: return "changed-since";
    case UndoReason::SlotTaken: return "slot-taken";
    case UndoReason::Permanent: return "permanent";
    case UndoReason::NotInTrash: return "not-in-trash";
    }
    return "";
}

std::vector<StepState> ReadStepStates(const JournalEntry& entry)
{
    std::vector<StepState> states;
    const OperationPlan& plan = entry.plan;
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const PlannedStep& step = plan.steps[i];
        const StepRecord& record = entry.records[i];
        const std::string path = JoinPath(plan.folder, record.name);
        const FileFacts left = record.left.value_or(step.facts);
        StepState state = StepState::Changed;
        if (record.skipped) {
            state = StepState::Skipped;
        } else if (step.kind == StepKind::CopyNew) {
            state = Holds(path, left) ? StepState::Done : Exists(path) ? StepState::Changed : StepState::NotDone;
        } else if (step.kind == StepKind::Overwrite) {
            state = Holds(path, left) ? StepState::Done
                    : Holds(path, step.replaced) ? StepState::NotDone
                                                 : StepState::Changed;
        } else if (step.kind == StepKind::Rename) {
            const std::string from = JoinPath(plan.folder, step.source);
            // The target may still hold a file that a later step moves on.
            state = Holds(path, step.facts)   ? StepState::Done
                    : Holds(from, step.facts) ? StepState::NotDone
                                              : StepState::Changed;
        } else {
            const bool recorded = step.kind == StepKind::Delete || record.deletedForNoTrash ||
                                  !record.trashPlace.file.empty();
            state = Holds(path, step.facts) ? StepState::NotDone
                    : !Exists(path) || recorded ? StepState::Done
                                                : StepState::Changed;
        }
        states.push_back(state);
    }
    return states;
}

std::vector<UndoStepResult> UndoEntry(JournalStore& store, const JournalEntry& entry, const JournalTrash& trash)
{
    const OperationPlan& plan = entry.plan;
    const std::vector<StepState> states = ReadStepStates(entry);
    std::error_code listError;
    SlotTable slots(ListFolder(plan.folder, listError));
    std::vector<UndoStepResult> results(plan.steps.size());
    for (std::size_t k = plan.steps.size(); k-- > 0;) {
        const PlannedStep& step = plan.steps[k];
        const StepRecord& record = entry.records[k];
        UndoStepResult& r = results[k];
        r.kind = step.kind;
        r.name = record.name;
        const std::string path = JoinPath(plan.folder, record.name);
        const int slot = SlotOfFileName(record.name);
        auto fail = [&r](UndoReason reason) { r.undone = false, r.reason = reason; };
        r.undone = true;
        if (states[k] == StepState::NotDone || states[k] == StepState::Skipped) continue;
        if (states[k] == StepState::Changed) {
            fail(step.kind == StepKind::Trash || step.kind == StepKind::Delete ? UndoReason::SlotTaken
                                                                                : UndoReason::ChangedSince);
            continue;
        }
        switch (step.kind) {
        case StepKind::CopyNew: {
            TrashPlace place;
            std::error_code error;
            const TrashResult moved = trash.move ? trash.move(path, place, error) : TrashResult::NoTrash;
            if (moved == TrashResult::Failed || (moved == TrashResult::NoTrash && RemoveRegularFile(path)))
                fail(UndoReason::ChangedSince);
            else if (slot >= 0) slots.release(slot);
            break;
        }
        case StepKind::Overwrite: {
            // The original back in one step: the stash's name moves over the
            // copy (a flushed copy when the stash lies on another device).
            const std::string stash = store.stashPath(entry.id, k);
            if (!Holds(stash, step.replaced)) {
                fail(UndoReason::NotInTrash);
                break;
            }
            if (MoveOverFile(stash, path) && !CopyViaTemporary(stash, path, true).ok()) fail(UndoReason::ChangedSince);
            break;
        }
        case StepKind::Rename: {
            const int oldSlot = SlotOfFileName(step.source);
            if (oldSlot >= 0 && !slots.isFree(oldSlot)) {
                fail(UndoReason::SlotTaken);
                break;
            }
            const std::error_code error = RenameWithoutReplace(path, JoinPath(plan.folder, step.source));
            if (error) {
                fail(error == std::errc::file_exists ? UndoReason::SlotTaken : UndoReason::ChangedSince);
                break;
            }
            if (slot >= 0) slots.release(slot);
            if (oldSlot >= 0) slots.take(oldSlot, step.source);
            break;
        }
        case StepKind::Trash: {
            if (record.deletedForNoTrash) {
                fail(UndoReason::Permanent);
                break;
            }
            if ((slot >= 0 && !slots.isFree(slot)) || Exists(path)) {
                fail(UndoReason::SlotTaken);
                break;
            }
            if (record.trashPlace.file.empty() || !trash.restore || !Holds(record.trashPlace.file, step.facts)) {
                fail(UndoReason::NotInTrash);
                break;
            }
            if (const std::error_code error = trash.restore(record.trashPlace, path)) {
                fail(error == std::errc::file_exists ? UndoReason::SlotTaken : UndoReason::NotInTrash);
                break;
            }
            if (slot >= 0) slots.take(slot, record.name);
            break;
        }
        case StepKind::Delete:
            fail(UndoReason::Permanent);
            break;
        }
    }
    store.mark(entry.id, "undone");
    std::reverse(results.begin(), results.end());   // in the order they were undone
    return results;
}

ExecutionResult JournaledRemoval(JournalStore& store, const std::string& gameFolder,
                                 const std::vector<ExpectedFile>& files, bool toTrash, const JournalTrash& trash)
{
    OperationPlan plan{OperationKind::ArchiveRemove, gameFolder, {}, {}, static_cast<int>(files.size())};
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!IsPlainFileName(files[i].name)) {
            FileReport r;
            r.source = files[i].name;
            r.problem = FileProblem::UnsafeName;
            plan.refused.push_back({static_cast<int>(i), r});
            continue;
        }
        plan.steps.push_back({toTrash ? StepKind::Trash : StepKind::Delete, files[i].name, {}, files[i].facts, {},
                              static_cast<int>(i)});
    }
    return ExecutePlan(store, plan, trash);
}

}  // namespace replidex
