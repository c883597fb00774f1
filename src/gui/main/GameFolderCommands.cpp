#include "gui/main/GameFolderCommands.h"

#include <QFile>
#include <QStringList>

#include <filesystem>

#include "core/text/SjisCodec.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/journal/FolderChangeRun.h"
#include "gui/journal/PlanTexts.h"
#include "gui/main/GameFolderMessages.h"
#include "gui/main/ListWindowBase.h"
#include "platform/Trash.h"

namespace replidex {

namespace {

const char* const kAskNormal = "通常転送します。よろしいですか？\n※既存ファイルは上書きされます。";
const char* const kNothingToCopy = "コピーするファイルが１つもありません。";
const char* const kAllSlotsTaken =
    "00～99までの全てのインデックスが使用されています。\n追加転送は実行できません。";
const char* const kAskAdditional = "追加転送します。よろしいですか？";
const char* const kNoRpdFiles = "PuyoFフォルダ内に*.rpdファイルが存在しません。";
const char* const kAskRename = "PuyoFフォルダ内の*.rpdファイルを昇順にリネームします。\nよろしいですか？";
const char* const kAskDelete = "'%1' ファイルを削除しますか？";
const char* const kMoveToTrash = "ごみ箱に移動する。";

// The copies that found their planned slot taken when they ran and went to
// the next free one, one line each; empty when none did.
QString MovedCopiesText(const OperationPlan& plan, const ExecutionResult& result)
{
    QStringList lines;
    for (std::size_t i = 0; i < plan.steps.size() && i < result.steps.size(); ++i) {
        const FileReport& ran = result.steps[i];
        if (ran.outcome == FileOutcome::Copied && ran.target != plan.steps[i].name)
            lines << QStringLiteral("%1 は使用中のため %2 にコピーしました")
                         .arg(NativeText(plan.steps[i].name), NativeText(ran.target));
    }
    return lines.join(QLatin1Char('\n'));
}

// A rename whose target someone took while the question was open left both
// files where they are (a skip, not a failure): a note in the details.
QString RenamesBlockedSinceAsking(const OperationReport& report)
{
    QStringList lines;
    for (const FileReport& file : report.files) {
        if (file.outcome != FileOutcome::Skipped || file.problem != FileProblem::TargetExists) continue;
        lines << QStringLiteral("%1 → %2: %3").arg(NativeText(file.source), NativeText(file.target),
                                                   ProblemMessage(file));
    }
    return lines.join(QLatin1Char('\n'));
}

// The game folder's listing; an unreadable folder lists as empty.
std::vector<FolderItem> ListGameFolder(const std::string& folder)
{
    std::error_code error;
    return ListFolder(folder, error);
}

}  // namespace

std::vector<ListRowFacts> GameFolderCommands::SelectedRowFacts() const
{
    std::vector<ListRowFacts> facts;
    const ReplayRowModel* model = window_.RowModelOf();
    const EntryPool* pool = window_.PoolOf();
    if (!model || !pool) return facts;
    for (const int index : window_.SelectedRowsOf()) {
        const ReplayRow* row = model->row(index);
        if (!row) continue;
        ListRowFacts f;
        f.isFolder = row->isFolder();
        f.rowState = RowStateOfIcon(row);
        const ReplayEntry* entry = f.isFolder ? nullptr : pool->lookup(row->poolIndex);
        if (entry) {
            // A file whose path has no form on this file system cannot be copied.
            // The name as the file system holds it, which may differ from the
            // list's in the form of a look-alike character.
            f.path = NativePathFromSjis(entry->fullPath());
            f.fileName = std::filesystem::path(f.path).filename().string();
            f.hasEntry = !f.path.empty();
        }
        facts.push_back(std::move(f));
    }
    return facts;
}

void GameFolderCommands::NormalTransfer(const SjisString& gameFolder)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    const std::vector<TransferSource> sources = TransferableRows(SelectedRowFacts(), true);
    const OperationPlan plan = PlanNormalTransfer(folder, ListGameFolder(folder), sources);
    if (!AskAboutPlan(Sjis(kAskNormal), kMsgWarning, plan)) return;
    if (sources.empty()) {
        ShowNotice(Sjis(kNothingToCopy));
        return;
    }
    Transfer(plan);
}

void GameFolderCommands::AdditionalTransfer(const SjisString& gameFolder)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    const std::vector<FolderItem> items = ListGameFolder(folder);
    if (SlotTable(items).freeCount() == 0) {
        ShowMessageBox(Sjis(kAllSlotsTaken), kMsgInformation);
        return;
    }
    const std::vector<TransferSource> sources = TransferableRows(SelectedRowFacts(), false);
    const OperationPlan plan = PlanAdditionalTransfer(folder, items, sources);
    if (!AskAboutPlan(Sjis(kAskAdditional), kMsgWarning, plan)) return;
    if (sources.empty()) {
        ShowNotice(Sjis(kNothingToCopy));
        return;
    }
    Transfer(plan);
}

void GameFolderCommands::Transfer(const OperationPlan& plan)
{
    const ExecutionResult result = RunFolderPlan(plan);
    ShowNewFileStates();
    QString details = TransferDetails(result.report);
    const QString moved = MovedCopiesText(plan, result);
    if (!moved.isEmpty()) details += (details.isEmpty() ? QString() : QStringLiteral("\n\n")) + moved;
    ShowNoticeText(TransferResultText(result.report), details);
}

void GameFolderCommands::AscendingRename(const SjisString& gameFolder)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    const std::vector<FolderItem> items = ListGameFolder(folder);
    if (RpdFileNames(items).empty()) {
        ShowNotice(Sjis(kNoRpdFiles));
        return;
    }
    // The renames follow the listing the question was about; a file that
    // appeared since is never replaced.
    const OperationPlan plan = PlanAscendingRename(folder, items);
    if (!AskAboutPlan(Sjis(kAskRename), kMsgWarning, plan)) return;
    const OperationReport report = RunFolderPlan(plan).report;
    const QString skipped = RenamesBlockedSinceAsking(report);
    ShowNewFileStates();
    ShowNoticeText(RenameResultText(report), skipped);
}

void GameFolderCommands::DeleteAllReplays(const SjisString& gameFolder, DeleteQuestionDialog& dialog)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    const std::vector<std::string> names = RpdFileNames(ListGameFolder(folder));
    if (names.empty()) {
        ShowNotice(Sjis(kNoRpdFiles));
        return;
    }
    dialog.SetOption(QString::fromUtf8(kMoveToTrash), true);
    DeleteQuestionWalk walk;
    std::vector<RemoveRequest> chosen;
    for (const std::string& name : names) {
        if (walk.finished()) break;
        // A file gone since the listing is not asked about.
        std::error_code error;
        if (!std::filesystem::is_regular_file(JoinPath(folder, name), error)) continue;
        const QString question = QString::fromUtf8(kAskDelete).arg(QString::fromUtf8(name.c_str()));
        const DeleteChoice choice = walk.asking() ? walk.answer(dialog.Ask(question)) : walk.withoutQuestion();
        if (choice.remove) chosen.push_back({name, choice.toTrash});
    }
    if (chosen.empty()) return;
    const OperationPlan plan = PlanRemoval(OperationKind::Clear, folder, chosen);
    if (!PreviewPlanIfWanted(plan)) return;
    const OperationReport report = RunFolderPlan(plan).report;
    ShowNewFileStates();
    const QString problems = RemoveResultText(report);
    if (!problems.isEmpty()) ShowNoticeText(problems);
}

void GameFolderCommands::ShowNewFileStates()
{
    ReplayRowModel* model = window_.RowModelOf();
    const EntryPool* pool = window_.PoolOf();
    if (model && pool && RefreshRowStates(*model, *pool) > 0) window_.RowStatesChanged();
}

}  // namespace replidex
