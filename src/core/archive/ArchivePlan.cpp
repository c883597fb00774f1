#include "core/archive/ArchivePlan.h"

#include <filesystem>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "core/archive/ArchiveContents.h"
#include "core/file/ContentHash.h"
#include "core/file/NativeFiles.h"
#include "core/replay/GameFolderOperations.h"
#include "core/replay/NewFileBatch.h"
#include "core/replay/ReplayFileReader.h"
#include "core/replay/ReplaySlots.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxNameNumber = 10000;
// The largest slot file held in memory; a larger one (no replay) is compared
// and copied streamed.
constexpr std::uint64_t kLargestHeld = 256u << 20;

std::string FoldedKey(const std::string& path)
{
    std::string key = path;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(FsPath(a), FsPath(b), ec);
}

class NameReservations {
public:
    bool taken(const std::string& path) const
    {
        std::error_code ec;
        return reserved_.count(FoldedKey(path)) || fs::exists(fs::symlink_status(FsPath(path), ec));
    }
    void reserve(const std::string& path) { reserved_.insert(FoldedKey(path)); }

private:
    std::unordered_set<std::string> reserved_;
};

// The archive name of a planned slot: the first free numbered form.
void ChooseTarget(PlannedSlot& s, const std::string& archiveDir, const ArchiveTemplates& templates,
                  NameReservations& names)
{
    const ArchiveFields fields = FieldsOf(&s.info, s.fileTime, s.slot);
    const std::string& nameTemplate = s.info.failed() ? std::string(kFailedNameTemplate) : templates.name;
    const std::string expanded = ExpandTemplate(nameTemplate, fields);
    fs::path folder = FsPath(archiveDir);
    std::string relativeFolder;
    for (const SafeName& part : FolderNamesOf(templates.folder, fields)) {
        folder /= FsPath(part.native);
        relativeFolder += part.native + "/";
        s.listFolders.push_back(part.sjis);
    }
    for (int number = 1; number <= kMaxNameNumber; ++number) {
        const SafeName name = MakeSafeName(expanded, true, number);
        const std::string path = NativePathOf(folder / FsPath(name.native));
        if (names.taken(path)) continue;
        names.reserve(path);
        s.target = path;
        s.relative = relativeFolder + name.native;
        return;
    }
    s.state = ArchiveState::Failed;
    s.reason = "no free archive name";
}

std::string WithError(const char* what, const std::error_code& error)
{
    return error ? std::string(what) + ": " + error.message() : std::string(what);
}

bool TrashAsked(const ArchiveRunOptions& options)
{
    return options.journal ? static_cast<bool>(options.journalTrash.move) : static_cast<bool>(options.trash);
}

// Why a slot file may not leave the game folder for `archivedCopy`; empty
// when it may (it is a slot file and the copy is another file holding
// exactly its bytes).
std::string RemovalRefusal(const std::string& gameDir, const std::string& slotName, const std::string& archivedCopy)
{
    if (!IsPlainFileName(slotName) || !IsGameReplayFileName(slotName)) return "not a slot file name";
    const std::string slotPath = JoinPath(gameDir, slotName);
    if (SameFile(slotPath, archivedCopy)) return "the archived copy is the slot file itself";
    if (!SameFileContent(slotPath, archivedCopy))
        return "not removed: the archived copy does not hold the slot file's bytes";
    return {};
}

void SetRemoval(ArchiveOutcome& o, const RemovalResult& removal)
{
    o.removed = removal.kind;
    if (removal.kind == RemovalKind::None) {
        o.state = ArchiveState::Failed;
        o.reason = removal.reason;
    }
}

RemovalResult RemovalOf(const FileReport& report)
{
    if (report.outcome == FileOutcome::Trashed) return {RemovalKind::Trash, {}};
    if (report.outcome == FileOutcome::Deleted) return {RemovalKind::Delete, {}};
    return {RemovalKind::None, "removal failed: " + ProblemText(report)};
}

// The journaled removal: every slot file whose copy reads back byte-equal,
// in one entry that expects each to still hold the copy's bytes.
void RemoveThroughJournal(const ArchivePlan& plan, const ArchiveRunOptions& options,
                          std::vector<ArchiveOutcome>& outcomes)
{
    std::vector<ExpectedFile> files;
    std::vector<std::size_t> whose;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        ArchiveOutcome& o = outcomes[i];
        if (o.state == ArchiveState::Failed) continue;
        std::string refusal = RemovalRefusal(plan.gameDir, o.fileName, o.target);
        const std::optional<FileFacts> facts = refusal.empty() ? ReadFileFacts(o.target) : std::nullopt;
        if (!facts) {
            SetRemoval(o, {RemovalKind::None, refusal.empty() ? "the archived copy cannot be read" : refusal});
            continue;
        }
        files.push_back({o.fileName, *facts});
        whose.push_back(i);
    }
    if (files.empty()) return;
    const ExecutionResult run = JournaledRemoval(*options.journal, plan.gameDir, files,
                                                 static_cast<bool>(options.journalTrash.move), options.journalTrash);
    for (std::size_t k = 0; k < whose.size(); ++k) SetRemoval(outcomes[whose[k]], RemovalOf(run.report.files[k]));
}

// The slot files of a run are read into memory and copied together in
// batches of about this many bytes.
constexpr std::uint64_t kBatchBytes = 64u << 20;

struct SlotBytes {
    std::size_t index;   // in the plan
    std::shared_ptr<const FileBytes> bytes;
};

void FailCopy(ArchiveOutcome& o, const CopyResult& copy)
{
    o.state = ArchiveState::Failed;
    o.reason = WithError(copy.failedStep == CopyStep::ReadSource    ? "reading the slot file failed"
                         : copy.failedStep == CopyStep::PlaceTarget ? "placing the copy failed"
                                                                    : "writing the copy failed",
                         copy.error);
}

// Makes the folder of `o`'s archived copy; false (and `o` failed) when it cannot.
bool MakeTargetFolder(ArchiveOutcome& o)
{
    std::error_code ec;
    fs::create_directories(FsPath(o.target).parent_path(), ec);
    if (!ec) return true;
    FailCopy(o, {CopyStep::WriteTarget, ec});
    return false;
}

// A slot file too large to be held is copied the slow way, on its own: a
// flushed temporary, compared with the slot file as it is now.
void CopyLargeSlot(const PlannedSlot& s, ArchiveOutcome& o)
{
    if (!MakeTargetFolder(o)) return;
    const CopyResult copy = CopyViaTemporary(s.sourcePath, o.target, false);
    if (!copy.ok()) return FailCopy(o, copy);
    if (!SameFileContent(s.sourcePath, o.target)) {
        RemoveRegularFile(o.target);
        o.state = ArchiveState::Failed;
        o.reason = "the slot file changed while it was copied";
        return;
    }
    o.copied = true;
    o.info.emplace();
    AnalyseReplayAtNativePath(o.target, *o.info);
}

// The bytes of the slot file to be archived: those the plan read, or read
// now; false when it is not to be batched (it failed, or it was copied on its
// own).
bool ReadSlot(const PlannedSlot& s, std::shared_ptr<const FileBytes>& held, ArchiveOutcome& o)
{
    if (s.bytes) {
        held = s.bytes;
        return true;
    }
    ReadOnlyFile file;
    std::error_code why;
    if (file.open(s.sourcePath, &why) != ReadOnlyFile::OpenResult::Opened) {
        FailCopy(o, {CopyStep::ReadSource, why});
        return false;
    }
    if (file.size() > kLargestHeld) {
        CopyLargeSlot(s, o);
        return false;
    }
    auto bytes = std::make_shared<FileBytes>();
    if (!ReadFileBytes(file, kLargestHeld, *bytes, why)) {
        FailCopy(o, {CopyStep::ReadSource, why});
        return false;
    }
    held = std::move(bytes);
    return true;
}

// Copies a batch of slot files read into memory, all made durable together;
// a copy counts once the slot file still holds the bytes copied (the game may
// have rewritten it since they were read). The copy itself is read back
// before its slot file is ever removed.
void CopyBatch(const ArchivePlan& plan, const std::vector<SlotBytes>& batch, std::vector<ArchiveOutcome>& outcomes)
{
    std::vector<NewFile> files;
    std::vector<const SlotBytes*> made;
    std::set<fs::path> folders;   // made already
    for (const SlotBytes& slot : batch) {
        const fs::path folder = FsPath(outcomes[slot.index].target).parent_path();
        if (!folders.count(folder)) {
            if (!MakeTargetFolder(outcomes[slot.index])) continue;
            folders.insert(folder);
        }
        files.push_back({outcomes[slot.index].target, slot.bytes->view()});
        made.push_back(&slot);
    }
    const std::vector<CopyResult> results = MakeNewFiles(files);
    for (std::size_t k = 0; k < made.size(); ++k) {
        ArchiveOutcome& o = outcomes[made[k]->index];
        if (!results[k].ok()) {
            FailCopy(o, results[k]);
            continue;
        }
        const PlannedSlot& planned = plan.files[made[k]->index];
        const std::string_view bytes = made[k]->bytes->view();
        if (!FileHoldsBytes(planned.sourcePath, bytes)) {
            RemoveRegularFile(o.target);
            o.state = ArchiveState::Failed;
            o.reason = "the slot file changed while it was copied";
            continue;
        }
        o.copied = true;
        if (made[k]->bytes == planned.bytes) {
            o.info = planned.info;   // the plan analysed these very bytes
        } else {
            o.info.emplace();
            AnalyseReplayBytes(bytes, *o.info);
        }
    }
}

// Opens the slot file and takes its size and time from the open file.
// False (and `s` failed) when it cannot be read.
bool OpenSlot(PlannedSlot& s, ReadOnlyFile& file)
{
    std::error_code why;
    const ReadOnlyFile::OpenResult opened = file.open(s.sourcePath, &why);
    if (opened == ReadOnlyFile::OpenResult::NotRegular) {
        s.reason = "not a regular file";
        return false;
    }
    if (opened != ReadOnlyFile::OpenResult::Opened || !LocalTimeOf(file.openedStamp(), s.fileTime)) {
        s.reason = WithError("cannot read", why);
        return false;
    }
    s.size = file.size();
    s.state = ArchiveState::Archive;
    return true;
}

// Reads and analyses the opened slot file; its bytes, null when it is too
// large to hold or cannot be read (it is then analysed from its path). They
// are kept for the run while the plan holds less than a batch.
std::shared_ptr<const FileBytes> ReadOpenedSlot(PlannedSlot& s, const ReadOnlyFile& file, std::uint64_t& heldBytes)
{
    auto bytes = std::make_shared<FileBytes>();
    std::error_code why;
    if (s.size > kLargestHeld || !ReadFileBytes(file, kLargestHeld, *bytes, why)) {
        AnalyseReplayAtNativePath(s.sourcePath, s.info);
        return nullptr;
    }
    AnalyseReplayBytes(bytes->view(), s.info);
    if (heldBytes + bytes->size <= kBatchBytes) {
        heldBytes += bytes->size;
        s.bytes = bytes;
    }
    return bytes;
}

}  // namespace

ArchivePlan PlanArchive(const std::string& gameDir, const std::string& archiveDir,
                        const ArchiveTemplates& templates, const std::vector<int>* onlySlots)
{
    ArchivePlan plan;
    plan.gameDir = gameDir;
    plan.archiveDir = archiveDir;
    const std::vector<FolderItem> items = ListFolder(gameDir, plan.listError);
    if (plan.listError) return plan;
    const SlotTable slots(items);
    // The slot files first, each looked at and read once, so that the
    // archive folder's listing keeps only the files of their sizes.
    std::unordered_set<std::uint64_t> sizes;
    std::vector<std::unique_ptr<ReadOnlyFile>> opened;   // at most one per slot
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string* holder = slots.holder(slot);
        if (!holder) continue;
        if (onlySlots && std::find(onlySlots->begin(), onlySlots->end(), slot) == onlySlots->end()) continue;
        PlannedSlot s;
        s.slot = slot;
        s.fileName = *holder;
        s.sourcePath = JoinPath(gameDir, *holder);
        opened.push_back(std::make_unique<ReadOnlyFile>());
        if (OpenSlot(s, *opened.back())) sizes.insert(s.size);
        plan.files.push_back(std::move(s));
    }
    ArchiveContents contents(archiveDir, sizes);
    NameReservations names;
    std::uint64_t heldBytes = 0;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        PlannedSlot& s = plan.files[i];
        if (s.state != ArchiveState::Archive) continue;
        // Read once: analysed and compared from memory.
        const std::shared_ptr<const FileBytes> bytes = ReadOpenedSlot(s, *opened[i], heldBytes);
        opened[i].reset();
        const std::string_view view = bytes ? bytes->view() : std::string_view();
        if (const ArchiveContents::Copy* existing = contents.find(s.sourcePath, s.size, bytes ? &view : nullptr)) {
            s.state = ArchiveState::Already;
            if (s.bytes) heldBytes -= s.bytes->size;
            s.bytes.reset();
            s.target = existing->path;
            s.relative = existing->relative;
        } else {
            ChooseTarget(s, archiveDir, templates, names);
            if (s.state == ArchiveState::Archive) contents.addPlanned(s.size, {s.target, s.relative, s.sourcePath});
        }
    }
    return plan;
}

std::string PreviewArchiveName(const PlannedSlot& s, const ArchiveTemplates& templates)
{
    const ArchiveFields fields = FieldsOf(&s.info, s.fileTime, s.slot);
    std::string relative;
    for (const SafeName& part : FolderNamesOf(templates.folder, fields)) relative += part.native + "/";
    const std::string& nameTemplate = s.info.failed() ? std::string(kFailedNameTemplate) : templates.name;
    return relative + MakeSafeName(ExpandTemplate(nameTemplate, fields), true).native;
}

std::vector<ArchiveOutcome> PlannedOutcomes(const ArchivePlan& plan, const ArchiveRunOptions& options)
{
    std::vector<ArchiveOutcome> outcomes;
    for (const PlannedSlot& s : plan.files) {
        ArchiveOutcome o;
        o.fileName = s.fileName;
        o.state = s.state;
        o.target = s.target;
        o.relative = s.relative;
        o.listFolders = s.listFolders;
        o.reason = s.reason;
        o.copied = s.state == ArchiveState::Archive;
        if (options.removeFromGame && s.state != ArchiveState::Failed)
            o.removed = TrashAsked(options) ? RemovalKind::Trash : RemovalKind::Delete;
        outcomes.push_back(std::move(o));
    }
    return outcomes;
}

std::vector<ArchiveOutcome> RunArchive(const ArchivePlan& plan, const ArchiveRunOptions& options)
{
    std::vector<ArchiveOutcome> outcomes = PlannedOutcomes(plan, options);
    std::vector<SlotBytes> batch;
    std::uint64_t batchBytes = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        ArchiveOutcome& o = outcomes[i];
        o.removed = RemovalKind::None;
        o.copied = false;
        if (plan.files[i].state != ArchiveState::Archive) continue;
        SlotBytes slot{i, {}};
        if (!ReadSlot(plan.files[i], slot.bytes, o)) continue;
        batchBytes += slot.bytes->size;
        batch.push_back(std::move(slot));
        if (batchBytes >= kBatchBytes) {
            CopyBatch(plan, batch, outcomes);
            batch.clear();
            batchBytes = 0;
        }
    }
    CopyBatch(plan, batch, outcomes);
    if (!options.removeFromGame) return outcomes;
    if (options.journal) {
        RemoveThroughJournal(plan, options, outcomes);
        return outcomes;
    }
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        ArchiveOutcome& o = outcomes[i];
        if (o.state == ArchiveState::Failed) continue;
        SetRemoval(o, RemoveArchivedSlot(plan.gameDir, plan.files[i].fileName, o.target,
                                         static_cast<bool>(options.trash), options.trash));
    }
    return outcomes;
}

RemovalResult RemoveArchivedSlot(const std::string& gameDir, const std::string& slotName,
                                 const std::string& archivedCopy, bool toTrash, const MoveToTrashFunction& trash)
{
    if (std::string refusal = RemovalRefusal(gameDir, slotName, archivedCopy); !refusal.empty())
        return {RemovalKind::None, std::move(refusal)};
    return RemovalOf(RemoveFile(JoinPath(gameDir, slotName), toTrash, trash));
}

ArchiveCounts CountOutcomes(const std::vector<ArchiveOutcome>& outcomes)
{
    ArchiveCounts counts;
    for (const ArchiveOutcome& o : outcomes) {
        counts.archived += o.state == ArchiveState::Archive;
        counts.already += o.state == ArchiveState::Already;
        counts.failed += o.state == ArchiveState::Failed;
        counts.removed += o.removed != RemovalKind::None;
    }
    return counts;
}

}  // namespace replidex
