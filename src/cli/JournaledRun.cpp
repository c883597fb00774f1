#include "cli/JournaledRun.h"

#include "core/journal/Journal.h"
#include "platform/JournalLocation.h"

namespace replidex::cli {

OperationReport RunOrPreview(const OperationPlan& plan, bool dryRun)
{
    if (dryRun) return PlannedReport(plan);
    JournalStore store(JournalFolder());
    return ExecutePlan(store, plan, PlatformJournalTrash()).report;
}

}  // namespace replidex::cli
