// Every change to the game folder is first a plan: the steps it will take,
// each with the name in the game folder, the source, and the size and
// content hash of the file it leaves there (copies, renames) or removes
// (trash, delete). A preview shows the plan; execution runs exactly it.
//
// Names and paths are in the file system's own encoding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/replay/GameFolderOperations.h"

namespace replidex {

enum class StepKind { CopyNew, Overwrite, Rename, Trash, Delete };
enum class OperationKind { Send, SendRenamed, Renumber, Clear, DeleteFiles, ArchiveRemove };

const char* StepKindName(StepKind kind);            // "copy-new", "overwrite", ...
std::optional<StepKind> StepKindFromName(std::string_view name);
const char* OperationKindName(OperationKind kind);  // "send", "send-renamed", ...
std::optional<OperationKind> OperationKindFromName(std::string_view name);

struct FileFacts {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;   // XXH3-64 of the bytes
    bool operator==(const FileFacts&) const = default;
};

// Size and hash of a regular file; nothing for anything else.
std::optional<FileFacts> ReadFileFacts(const std::string& path);

struct PlannedStep {
    StepKind kind = StepKind::CopyNew;
    std::string name;     // in the game folder: written (copy, overwrite, rename) or removed
    std::string source;   // copies: the source file; renames: the old name
    FileFacts facts;      // what the step leaves at `name`, or removes from it
    FileFacts replaced;   // overwrite: the original it replaces
    int input = -1;       // which input (source or request) the step stands for
};

struct OperationPlan {
    OperationKind kind = OperationKind::Send;
    std::string folder;
    std::vector<PlannedStep> steps;
    // Inputs that take no part, with why (a report each, source set).
    std::vector<std::pair<int, FileReport>> refused;
    int inputCount = 0;

    bool hasPermanentDelete() const;
};

// The plans of the operations, from their inputs and the folder's listing.
OperationPlan PlanNormalTransfer(const std::string& folder, const std::vector<FolderItem>& items,
                                 const std::vector<TransferSource>& sources);
OperationPlan PlanAdditionalTransfer(const std::string& folder, const std::vector<FolderItem>& items,
                                     const std::vector<TransferSource>& sources);
OperationPlan PlanAscendingRename(const std::string& folder, const std::vector<FolderItem>& items);
// Removing named files of the folder (clear, delete files, the archive's
// removal); unsafe names fail, other than *.RPD names and gone files are
// skipped.
OperationPlan PlanRemoval(OperationKind kind, const std::string& folder, const std::vector<RemoveRequest>& requests);

// The reports the plan would give if every step went as planned, one per
// input in input order (renames: one per step).
OperationReport PlannedReport(const OperationPlan& plan);

}  // namespace replidex
