#include "core/journal/JournalPlan.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "core/file/ContentHash.h"
#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

constexpr std::array<const char*, 5> kStepNames = {"copy-new", "overwrite", "rename", "trash", "delete"};
constexpr std::array<const char*, 6> kOperationNames = {"send",  "send-renamed", "renumber",
                                                        "clear", "delete-files", "archive-remove"};

FileReport Refusal(std::string source, FileOutcome outcome, FileProblem problem)
{
    FileReport r;
    r.source = std::move(source);
    r.outcome = outcome;
    r.problem = problem;
    return r;
}

// Copies into free slots: at a source's own slot (normal transfer) or the next
// free one (additional transfer).
OperationPlan PlanTransfer(OperationKind kind, const std::string& folder, const std::vector<FolderItem>& items,
                           const std::vector<TransferSource>& sources)
{
    OperationPlan plan{kind, folder, {}, {}, static_cast<int>(sources.size())};
    SlotTable slots(items);
    int next = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const int input = static_cast<int>(i);
        const std::optional<FileFacts> facts = ReadFileFacts(sources[i].path);
        if (!facts) {
            plan.refused.push_back({input, Refusal(sources[i].path, FileOutcome::Failed, FileProblem::ReadFailed)});
            continue;
        }
        PlannedStep step{StepKind::CopyNew, {}, sources[i].path, *facts, {}, input};
        int slot = -1;
        if (kind == OperationKind::Send) {
            slot = SlotOfFileName(sources[i].fileName);
            if (slot < 0) {
                plan.refused.push_back(
                    {input, Refusal(sources[i].path, FileOutcome::Skipped, FileProblem::NotGameReplayName)});
                continue;
            }
            if (const std::string* holder = slots.holder(slot)) {
                const std::optional<FileFacts> original = ReadFileFacts(JoinPath(folder, *holder));
                if (!original) {   // a folder or other item holds the slot: never replaced
                    plan.refused.push_back(
                        {input, Refusal(sources[i].path, FileOutcome::Failed, FileProblem::TargetExists)});
                    continue;
                }
                step.kind = StepKind::Overwrite;
                step.name = *holder;
                step.replaced = *original;
            }
        } else {
            slot = slots.firstFreeFrom(next);
            if (slot < 0) {
                plan.refused.push_back({input, Refusal(sources[i].path, FileOutcome::Failed, FileProblem::NoFreeSlot)});
                continue;
            }
            next = slot + 1;
        }
        if (step.name.empty()) step.name = SlotFileName(slot);
        slots.take(slot, step.name);
        plan.steps.push_back(std::move(step));
    }
    return plan;
}

}  // namespace

const char* StepKindName(StepKind kind)
{
    return kStepNames[static_cast<std::size_t>(kind)];
}

std::optional<StepKind> StepKindFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kStepNames.size(); ++i)
        if (name == kStepNames[i]) return static_cast<StepKind>(i);
    return std::nullopt;
}

const char* OperationKindName(OperationKind kind)
{
    return kOperationNames[static_cast<std::size_t>(kind)];
}

std::optional<OperationKind> OperationKindFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kOperationNames.size(); ++i)
        if (name == kOperationNames[i]) return static_cast<OperationKind>(i);
    return std::nullopt;
}

std::optional<FileFacts> ReadFileFacts(const std::string& path)
{
    std::uint64_t size = 0;
    const std::optional<std::uint64_t> hash = FileContentHash64(path, &size);
    if (!hash) return std::nullopt;
    return FileFacts{size, *hash};
}

bool OperationPlan::hasPermanentDelete() const
{
    return std::any_of(steps.begin(), steps.end(), [](const PlannedStep& s) { return s.kind == StepKind::Delete; });
}

OperationPlan PlanNormalTransfer(const std::string& folder, const std::vector<FolderItem>& items,
                                 const std::vector<TransferSource>& sources)
{
    return PlanTransfer(OperationKind::Send, folder, items, sources);
}

OperationPlan PlanAdditionalTransfer(const std::string& folder, const std::vector<FolderItem>& items,
                                     const std::vector<TransferSource>& sources)
{
    return PlanTransfer(OperationKind::SendRenamed, folder, items, sources);
}

OperationPlan PlanAscendingRename(const std::string& folder, const std::vector<FolderItem>& items)
{
    OperationPlan plan{OperationKind::Renumber, folder, {}, {}, 0};
    SlotTable slots(items);
    int lowest = 0;
    for (int from = 0; from < kSlotCount; ++from) {
        const std::string* held = slots.holder(from);
        if (!held) continue;
        const std::string name = *held;
        const int to = slots.firstFreeFrom(lowest);
        if (to < 0 || to >= from) {
            lowest = from + 1;
            continue;
        }
        const std::optional<FileFacts> facts = ReadFileFacts(JoinPath(folder, name));
        if (!facts) {   // no regular file: it stays, and no later file passes it
            lowest = from + 1;
            continue;
        }
        const std::string target = SlotFileName(to);
        plan.steps.push_back({StepKind::Rename, target, name, *facts, {}, plan.inputCount++});
        slots.release(from);
        slots.take(to, target);
        lowest = to + 1;
    }
    return plan;
}

OperationPlan PlanRemoval(OperationKind kind, const std::string& folder, const std::vector<RemoveRequest>& requests)
{
    OperationPlan plan{kind, folder, {}, {}, static_cast<int>(requests.size())};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const int input = static_cast<int>(i);
        const RemoveRequest& request = requests[i];
        if (!IsPlainFileName(request.name)) {
            plan.refused.push_back({input, Refusal(request.name, FileOutcome::Failed, FileProblem::UnsafeName)});
            continue;
        }
        if (!HasRpdExtension(request.name)) {
            plan.refused.push_back({input, Refusal(request.name, FileOutcome::Skipped, FileProblem::NotRpdFile)});
            continue;
        }
        const std::string path = JoinPath(folder, request.name);
        std::error_code error;
        const auto status = std::filesystem::symlink_status(FsPath(path), error);
        const std::optional<FileFacts> facts =
            std::filesystem::is_regular_file(status) ? ReadFileFacts(path) : std::nullopt;
        if (!facts) {
            const FileProblem why =
                std::filesystem::exists(status) ? FileProblem::NotRegularFile : FileProblem::NotFound;
            plan.refused.push_back({input, Refusal(request.name, FileOutcome::Skipped, why)});
            continue;
        }
        plan.steps.push_back(
            {request.toTrash ? StepKind::Trash : StepKind::Delete, request.name, {}, *facts, {}, input});
    }
    return plan;
}

OperationReport PlannedReport(const OperationPlan& plan)
{
    std::vector<FileReport> byInput(static_cast<std::size_t>(plan.inputCount));
    for (const auto& [input, report] : plan.refused) byInput[static_cast<std::size_t>(input)] = report;
    for (const PlannedStep& step : plan.steps) {
        FileReport& r = byInput[static_cast<std::size_t>(step.input)];
        switch (step.kind) {
        case StepKind::CopyNew:
        case StepKind::Overwrite:
            r.source = step.source;
            r.target = step.name;
            r.outcome = FileOutcome::Copied;
            break;
        case StepKind::Rename:
            r.source = step.source;
            r.target = step.name;
            r.outcome = FileOutcome::Renamed;
            break;
        case StepKind::Trash:
        case StepKind::Delete:
            r.source = step.name;
            r.outcome = step.kind == StepKind::Trash ? FileOutcome::Trashed : FileOutcome::Deleted;
            break;
        }
    }
    return OperationReport{std::move(byInput)};
}

}  // namespace replidex
