// Running a game folder command's plan through the shared journal, or only
// showing it (--dry-run).
#pragma once

#include <nlohmann/json.hpp>

#include "core/journal/JournalPlan.h"

namespace replidex::cli {

// The per-file reports of the plan: as planned with `dryRun`, else as run
// through the journal.
OperationReport RunOrPreview(const OperationPlan& plan, bool dryRun);

// Adds "planned":true to a line of a dry run.
inline void MarkPlanned(nlohmann::ordered_json& line, bool dryRun)
{
    if (dryRun) line["planned"] = true;
}

}  // namespace replidex::cli
