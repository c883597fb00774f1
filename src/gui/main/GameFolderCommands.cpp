#include "gui/main/GameFolderCommands.h"

#include <QFile>

#include <filesystem>

#include "core/text/SjisCodec.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/dialogs/MessageBoxes.h"
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
    if (ConfirmBox(Sjis(kAskNormal), kMsgWarning) != kAnswerOk) return;
    const std::vector<TransferSource> sources = TransferableRows(SelectedRowFacts(), true);
    if (sources.empty()) {
        ShowNotice(Sjis(kNothingToCopy));
        return;
    }
    Transfer(NativePathFromSjis(gameFolder), sources, false);
}

void GameFolderCommands::AdditionalTransfer(const SjisString& gameFolder)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    if (SlotTable(ListGameFolder(folder)).freeCount() == 0) {
        ShowMessageBox(Sjis(kAllSlotsTaken), kMsgInformation);
        return;
    }
    if (ConfirmBox(Sjis(kAskAdditional), kMsgWarning) != kAnswerOk) return;
    const std::vector<TransferSource> sources = TransferableRows(SelectedRowFacts(), false);
    if (sources.empty()) {
        ShowNotice(Sjis(kNothingToCopy));
        return;
    }
    Transfer(folder, sources, true);
}

void GameFolderCommands::Transfer(const std::string& folder, const std::vector<TransferSource>& sources,
                                  bool additional)
{
    const OperationReport report =
        additional ? replidex::AdditionalTransfer(folder, sources) : replidex::NormalTransfer(folder, sources);
    ShowNewFileStates();
    ShowNoticeText(TransferResultText(report), TransferDetails(report));
}

void GameFolderCommands::AscendingRename(const SjisString& gameFolder)
{
    const std::string folder = NativePathFromSjis(gameFolder);
    const std::vector<FolderItem> items = ListGameFolder(folder);
    if (RpdFileNames(items).empty()) {
        ShowNotice(Sjis(kNoRpdFiles));
        return;
    }
    if (ConfirmBox(Sjis(kAskRename), kMsgWarning) != kAnswerOk) return;
    // The renames follow the listing the question was about; a file that
    // appeared since is never replaced.
    const OperationReport report = replidex::AscendingRename(folder, SlotTable(items));
    ShowNewFileStates();
    ShowNoticeText(RenameResultText(report));
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
    const OperationReport report = RemoveFolderFiles(folder, chosen, MoveToTrash);
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
