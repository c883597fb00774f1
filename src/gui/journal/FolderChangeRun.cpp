#include "gui/journal/FolderChangeRun.h"

#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/journal/PlanPreviewDialog.h"
#include "gui/journal/PlanTexts.h"
#include "platform/JournalLocation.h"

namespace replidex {

namespace {

constexpr const char* kSection = "Journal";
constexpr const char* kPreviewKey = "PreviewBeforeChange";

bool& PreviewOption()
{
    static bool on = false;
    return on;
}

}  // namespace

bool PreviewBeforeFolderChanges()
{
    return PreviewOption();
}

void SetPreviewBeforeFolderChanges(bool on)
{
    PreviewOption() = on;
}

void LoadJournalSettings(const ProfileFile& file)
{
    PreviewOption() = file.readInt(kSection, kPreviewKey, 0) != 0;
}

void SaveJournalSettings(ProfileFile& file)
{
    file.writeInt(kSection, kPreviewKey, PreviewOption() ? 1 : 0);
}

bool AskAboutPlan(std::string_view question, int kind, const OperationPlan& plan)
{
    if (PreviewOption()) return AskWithPlanPreview(QString::fromStdString(Cp932ToUtf8Lossy(question)), plan);
    return ConfirmBox(question, kind, PlanDetailsText(plan)) == kAnswerOk;
}

bool PreviewPlanIfWanted(const OperationPlan& plan)
{
    return !PreviewOption() || AskWithPlanPreview({}, plan);
}

JournalStore SharedJournal()
{
    return JournalStore(JournalFolder());
}

ExecutionResult RunFolderPlan(const OperationPlan& plan)
{
    JournalStore store = SharedJournal();
    return ExecutePlan(store, plan, PlatformJournalTrash());
}

}  // namespace replidex
