#include "gui/browse/DeleteFilesCommand.h"

#include <QFile>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file/NativeFiles.h"
#include "core/journal/JournalPlan.h"
#include "core/list/FolderOps.h"
#include "core/list/ReplayImport.h"
#include "core/replay/DeleteQuestionWalk.h"
#include "core/replay/GameFolderOperations.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/journal/FolderChangeRun.h"
#include "gui/main/GameFolderMessages.h"
#include "gui/main/MainWindow.h"
#include "platform/Trash.h"

namespace replidex {

namespace {

// An entry row the user chose to delete.
struct TakenRow {
    std::int32_t poolIndex = -1;
    bool toTrash = true;
};

// The name of `path` in `folder` when the file lies directly in it (the
// folders compared as resolved, the file itself not followed); else empty.
std::string NameInFolder(const std::string& path, const std::string& folder)
{
    namespace fs = std::filesystem;
    if (path.empty() || folder.empty()) return {};
    std::error_code error;
    const fs::path file = fs::absolute(FsPath(path), error).lexically_normal();
    const fs::path parent = fs::weakly_canonical(file.parent_path(), error);
    const fs::path game = fs::weakly_canonical(fs::absolute(FsPath(folder), error), error);
    if (error || parent != game) return {};
    return NativePathOf(file.filename());
}

}  // namespace

void DeleteSelectedFiles(MainWindow& form, DeleteQuestionDialog& dialog)
{
    DocumentState& doc = form.document();
    dialog.SetOption(QStringLiteral("ごみ箱に移動する。"), true);

    // The questions, top to bottom, name the file; its whole path is the
    // question's tooltip and accessible description.
    DeleteQuestionWalk walk;
    std::vector<TakenRow> taken;
    for (const int index : form.listCommands().SelectedRows()) {
        if (walk.finished()) break;
        const ReplayRow* row = form.rowModel().row(index);
        const ReplayEntry* entry = row && !row->isFolder() ? doc.list.pool.lookup(row->poolIndex) : nullptr;
        if (!entry) continue;
        const QString fullPath = QString::fromStdString(Cp932ToUtf8Lossy(entry->fullPath()));
        const SjisString rowText = entry->fullPath();
        const std::size_t cut = LastSjisDelimiter(rowText);
        const QString name = QString::fromStdString(
            Cp932ToUtf8Lossy(cut == std::string::npos ? rowText : rowText.substr(cut + 1)));
        const QString question = QStringLiteral("'%1' ファイルを削除しますか？").arg(name);
        const DeleteChoice choice =
            walk.asking() ? walk.answer(dialog.Ask(question, fullPath)) : walk.withoutQuestion();
        if (choice.remove) taken.push_back({entry->poolIndex, choice.toTrash});
    }
    if (taken.empty()) return;

    // The files of the game folder go as one journaled plan, shown first when
    // the user wants a preview; the others one by one.
    const std::string gameFolder = NativePathFromSjis(form.GameFolderPath());
    std::vector<RemoveRequest> inGame;
    for (const TakenRow& row : taken) {
        const ReplayEntry* entry = doc.list.pool.lookup(row.poolIndex);
        const std::string name = entry ? NameInFolder(NativePathFromSjis(entry->fullPath()), gameFolder) : "";
        if (!name.empty() && HasRpdExtension(name)) inGame.push_back({name, row.toTrash});
    }
    const OperationPlan plan = PlanRemoval(OperationKind::DeleteFiles, gameFolder, inGame);
    if (!plan.steps.empty() && !PreviewPlanIfWanted(plan)) return;

    // The entries leave the list; their files go when they are still there.
    ReplayFolder* shown = doc.ShownNode;
    doc.CurrentRow = -1;
    OperationReport report;
    bool modified = false;
    for (const TakenRow& row : taken) {
        const ReplayEntry* entry = doc.list.pool.lookup(row.poolIndex);
        if (!entry) continue;
        const SjisString fullPath = entry->fullPath();
        if (DeleteEntryFromFolder(shown, doc.list.pool, fullPath)) modified = true;
        const std::string path = NativePathFromSjis(fullPath);
        const std::string name = NameInFolder(path, gameFolder);
        if (path.empty() || (!name.empty() && HasRpdExtension(name))) continue;
        FileReport removed = RemoveFile(path, row.toTrash, MoveToTrash);
        if (removed.outcome != FileOutcome::Skipped) report.files.push_back(std::move(removed));
    }
    if (!plan.steps.empty())
        for (FileReport& removed : RunFolderPlan(plan).report.files)
            if (removed.outcome != FileOutcome::Skipped) report.files.push_back(std::move(removed));
    if (modified) form.SetModified(true);
    form.ShowFolderContents(shown);
    const QString problems = RemoveResultText(report);
    if (!problems.isEmpty()) ShowNoticeText(problems);
}

}  // namespace replidex
