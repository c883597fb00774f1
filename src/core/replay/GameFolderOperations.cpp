#include "core/replay/GameFolderOperations.h"

#include <algorithm>
#include <filesystem>

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

FileReport Report(std::string source, std::string target, FileOutcome outcome,
                  FileProblem problem = FileProblem::None, std::error_code error = {})
{
    FileReport r;
    r.source = std::move(source);
    r.target = std::move(target);
    r.outcome = outcome;
    r.problem = problem;
    r.error = error;
    return r;
}

FileProblem ProblemOfCopy(const CopyResult& copy)
{
    switch (copy.failedStep) {
    case CopyStep::ReadSource:
        if (copy.error == std::errc::no_such_file_or_directory) return FileProblem::NotFound;
        if (copy.error == std::errc::is_a_directory || copy.error == std::errc::operation_not_supported)
            return FileProblem::NotRegularFile;
        return FileProblem::ReadFailed;
    case CopyStep::WriteTarget:
        return FileProblem::WriteFailed;
    case CopyStep::PlaceTarget:
        return copy.error == std::errc::file_exists || copy.error == std::errc::is_a_directory
                   ? FileProblem::TargetExists
                   : FileProblem::PlaceFailed;
    case CopyStep::None:
        break;
    }
    return FileProblem::None;
}

// The game folder as listed, or every source failed when it cannot be.
bool ListSlots(const std::string& folder, const std::vector<TransferSource>& sources, SlotTable& slots,
               OperationReport& report)
{
    std::error_code error;
    const std::vector<FolderItem> items = ListFolder(folder, error);
    if (error) {
        for (const TransferSource& source : sources)
            report.files.push_back(Report(source.path, {}, FileOutcome::Failed, FileProblem::CannotList, error));
        return false;
    }
    slots = SlotTable(items);
    return true;
}

const char* ProblemWords(FileProblem problem)
{
    switch (problem) {
    case FileProblem::None: return "";
    case FileProblem::NotFound: return "no such file";
    case FileProblem::NotRegularFile: return "not a regular file";
    case FileProblem::NotGameReplayName: return "not a game replay file name";
    case FileProblem::AnalysisFailed: return "analysis failed";
    case FileProblem::NotRpdFile: return "not a .RPD file";
    case FileProblem::UnsafeName: return "name reaches outside the folder";
    case FileProblem::NoFreeSlot: return "no free slot";
    case FileProblem::CannotList: return "cannot list the game folder";
    case FileProblem::ReadFailed: return "read failed";
    case FileProblem::WriteFailed: return "copy failed";
    case FileProblem::TargetExists: return "target exists";
    case FileProblem::PlaceFailed: return "copy could not be put in place";
    case FileProblem::RenameFailed: return "rename failed";
    case FileProblem::TrashFailed: return "cannot move to the trash";
    case FileProblem::DeleteFailed: return "delete failed";
    case FileProblem::ChangedSince: return "changed since planning";
    case FileProblem::JournalFailed: return "cannot write the journal";
    }
    return "";
}

}  // namespace

int OperationReport::count(FileOutcome outcome) const
{
    return static_cast<int>(std::count_if(files.begin(), files.end(),
                                          [outcome](const FileReport& f) { return f.outcome == outcome; }));
}

int OperationReport::noTrashCount() const
{
    return static_cast<int>(
        std::count_if(files.begin(), files.end(), [](const FileReport& f) { return f.noTrash; }));
}

std::string ProblemText(const FileReport& report)
{
    std::string text = ProblemWords(report.problem);
    const bool saysItAll = report.problem == FileProblem::NotFound || report.problem == FileProblem::TargetExists;
    if (report.error && !saysItAll) text += ": " + report.error.message();
    return text;
}

bool IsTransferableRow(const ListRowFacts& row)
{
    return !row.isFolder && row.hasEntry && row.rowState == 0;
}

std::vector<TransferSource> TransferableRows(const std::vector<ListRowFacts>& rows, bool gameNamesOnly)
{
    std::vector<TransferSource> sources;
    for (const ListRowFacts& row : rows) {
        if (!IsTransferableRow(row)) continue;
        if (gameNamesOnly && !IsGameReplayFileName(row.fileName)) continue;
        sources.push_back({row.path, row.fileName});
    }
    return sources;
}

OperationReport NormalTransfer(const std::string& folder, const std::vector<TransferSource>& sources)
{
    OperationReport report;
    SlotTable slots;
    if (!ListSlots(folder, sources, slots, report)) return report;
    for (const TransferSource& source : sources) {
        const int slot = SlotOfFileName(source.fileName);
        if (slot < 0) {
            report.files.push_back(Report(source.path, {}, FileOutcome::Skipped, FileProblem::NotGameReplayName));
            continue;
        }
        // The file that holds the slot is replaced under its own name, so
        // that the slot never has two files.
        const std::string* holder = slots.holder(slot);
        const std::string target = holder ? *holder : SlotFileName(slot);
        const CopyResult copy = CopyViaTemporary(source.path, JoinPath(folder, target), true);
        if (!copy.ok()) {
            report.files.push_back(Report(source.path, target, FileOutcome::Failed, ProblemOfCopy(copy), copy.error));
            continue;
        }
        slots.take(slot, target);
        report.files.push_back(Report(source.path, target, FileOutcome::Copied));
    }
    return report;
}

OperationReport AdditionalTransfer(const std::string& folder, const std::vector<TransferSource>& sources)
{
    OperationReport report;
    SlotTable slots;
    if (!ListSlots(folder, sources, slots, report)) return report;
    int next = 0;
    for (const TransferSource& source : sources) {
        for (;;) {
            const int slot = slots.firstFreeFrom(next);
            if (slot < 0) {
                report.files.push_back(Report(source.path, {}, FileOutcome::Failed, FileProblem::NoFreeSlot));
                break;
            }
            const std::string target = SlotFileName(slot);
            const CopyResult copy = CopyViaTemporary(source.path, JoinPath(folder, target), false);
            if (copy.ok()) {
                slots.take(slot, target);
                next = slot + 1;
                report.files.push_back(Report(source.path, target, FileOutcome::Copied));
                break;
            }
            const FileProblem problem = ProblemOfCopy(copy);
            if (problem == FileProblem::TargetExists) {
                // Taken since the listing: that file stays, the copy goes on
                // to the next free slot.
                slots.take(slot, target);
                continue;
            }
            report.files.push_back(Report(source.path, target, FileOutcome::Failed, problem, copy.error));
            break;
        }
    }
    return report;
}

OperationReport AscendingRename(const std::string& folder, SlotTable slots)
{
    OperationReport report;
    int lowest = 0;   // no file moves below this slot
    for (int from = 0; from < kSlotCount; ++from) {
        const std::string* held = slots.holder(from);
        if (!held) continue;
        const std::string name = *held;
        for (;;) {
            const int to = slots.firstFreeFrom(lowest);
            if (to < 0 || to >= from) {
                lowest = from + 1;   // in place
                break;
            }
            const std::string target = SlotFileName(to);
            const std::error_code error = RenameWithoutReplace(JoinPath(folder, name), JoinPath(folder, target));
            if (!error) {
                slots.release(from);
                slots.take(to, target);
                lowest = to + 1;
                report.files.push_back(Report(name, target, FileOutcome::Renamed));
                break;
            }
            if (error == std::errc::file_exists) {
                // A file appeared in that slot: it stays and holds it.
                slots.take(to, target);
                continue;
            }
            report.files.push_back(Report(name, target, FileOutcome::Failed, FileProblem::RenameFailed, error));
            lowest = from + 1;   // later files keep their order behind this one
            break;
        }
    }
    return report;
}

FileReport RemoveFile(const std::string& path, bool toTrash, const MoveToTrashFunction& trash)
{
    std::error_code error;
    const fs::file_status status = fs::status(FsPath(path), error);
    if (!fs::exists(status))
        return Report(path, {}, FileOutcome::Skipped, FileProblem::NotFound);
    if (!fs::is_regular_file(status))
        return Report(path, {}, FileOutcome::Skipped, FileProblem::NotRegularFile);

    bool noTrash = false;
    if (toTrash) {
        const TrashResult result = trash ? trash(path, error) : TrashResult::NoTrash;
        if (result == TrashResult::Trashed) return Report(path, {}, FileOutcome::Trashed);
        if (result == TrashResult::Failed)
            return Report(path, {}, FileOutcome::Failed, FileProblem::TrashFailed, error);
        noTrash = true;
    }
    error = RemoveRegularFile(path);
    FileReport report = error ? Report(path, {}, FileOutcome::Failed, FileProblem::DeleteFailed, error)
                              : Report(path, {}, FileOutcome::Deleted);
    report.noTrash = noTrash && !error;
    return report;
}

OperationReport RemoveFolderFiles(const std::string& folder, const std::vector<RemoveRequest>& requests,
                                  const MoveToTrashFunction& trash)
{
    OperationReport report;
    for (const RemoveRequest& request : requests) {
        if (!IsPlainFileName(request.name)) {
            report.files.push_back(Report(request.name, {}, FileOutcome::Failed, FileProblem::UnsafeName));
            continue;
        }
        if (!HasRpdExtension(request.name)) {
            report.files.push_back(Report(request.name, {}, FileOutcome::Skipped, FileProblem::NotRpdFile));
            continue;
        }
        FileReport removed = RemoveFile(JoinPath(folder, request.name), request.toTrash, trash);
        removed.source = request.name;
        report.files.push_back(std::move(removed));
    }
    return report;
}

std::string DeleteQuestionName(const std::string& path, const std::string& gameFolder)
{
    const fs::path file = FsPath(path).lexically_normal();
    const fs::path folder = (FsPath(gameFolder) / "").lexically_normal();
    if (!gameFolder.empty() && file.has_filename() && (file.parent_path() / "") == folder)
        return NativePathOf(file.filename());
    return NativePathOf(file);
}

}  // namespace replidex
