#include "gui/browse/FolderTreeCommands.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include "core/list/TextLimits.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayListCommands.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/browse/ViewKeys.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/MainWindow.h"

namespace replidex {

void FolderTreeCommands::Connect()
{
    FolderTreeModel& model = form_.treeModel();
    QTreeView* tree = form_.ui().TreeView;
    model.onRename = [this](ReplayFolder* folder, const QString& name) {
        return RenameFolder(folder, name);
    };
    model.onDrop = [this](ReplayFolder* target, bool fromTree) { DropOnFolder(target, fromTree); };

    // The right button selects the node under it before the popup opens, so
    // the popup acts on that node.
    QObject::connect(tree, &QWidget::customContextMenuRequested, tree, [this, tree](const QPoint& pos) {
        const QModelIndex index = tree->indexAt(pos);
        if (index.isValid())
            tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        form_.ui().PM_Tree->popup(tree->viewport()->mapToGlobal(pos));
    });
    QObject::connect(form_.ui().PM_Tree, &QMenu::aboutToShow, tree, [this] { UpdateTreePopup(); });
    QObject::connect(form_.ui().PMTree_Del, &QAction::triggered, tree, [this] { PMTree_DelClick(); });
    // The Delete key does what the popup's "削除(&E)" does.
    OnViewKeys(tree, {Qt::Key_Delete}, [this] { PMTree_DelClick(); });
}

ReplayFolder* FolderTreeCommands::SelectedFolder() const
{
    return form_.treeModel().folderAt(form_.ui().TreeView->currentIndex());
}

void FolderTreeCommands::ShowSelected(ReplayFolder* folder)
{
    if (!folder) return;
    form_.SelectFolder(folder, false);
    form_.ShowFolderContents(folder);
}

bool FolderTreeCommands::AskFolderMove(const FolderMoveCheck& check)
{
    if (check.verdict == FolderMoveVerdict::AskOverwrite)
        return ConfirmBox(check.message, kMsgWarning) == kAnswerOk;
    if (check.verdict == FolderMoveVerdict::Refused && !check.message.empty())
        ShowMessageBox(check.message, kMsgWarning);
    return false;
}

ReplayFolder* FolderTreeCommands::CreateSubFolder(ReplayFolder* parent)
{
    if (!parent) return nullptr;
    FolderTreeEvents events = form_.treeModel().events();
    const int row = static_cast<int>(parent->children.size());
    if (const std::string tooDeep = CheckNewFolderDepth(parent); !tooDeep.empty()) {
        ShowMessageBox(tooDeep, kMsgWarning);
        return nullptr;
    }
    if (!NewFolderName(parent)) return nullptr;   // New_0 .. New_9999 all taken: silent
    // The core appends the node; the model announces it around that.
    events.beforeInsert(parent, row);
    const CreateFolderResult created = replidex::CreateSubFolder(parent);
    events.afterInsert(parent, row);
    if (created.modified) form_.SetModified(true);
    form_.ShowFolderContents(form_.document().ShownNode);
    return created.folder;
}

void FolderTreeCommands::DeleteSubFolder(ReplayFolder* parent, const SjisString& name)
{
    ReplayFolder* folder = FindChildFolder(parent, name);
    if (!folder) return;
    // The selection (and the list) leave the folder before it goes.
    ReplayFolder* selected = SelectedFolder();
    if (selected == folder || IsDescendant(folder, selected)) form_.SelectFolder(parent, false);
    ReplayFolder* shown = form_.document().ShownNode;
    if (shown == folder || IsDescendant(folder, shown)) form_.ShowFolderContents(parent);

    FolderTreeEvents events = form_.treeModel().events();
    const int row = ChildRow(folder);
    events.beforeRemove(parent, row);
    replidex::DeleteSubFolder(parent, name, form_.document().list.pool);
    events.afterRemove(parent, row);
    form_.SetModified(true);
    form_.ShowFolderContents(parent);
}

bool FolderTreeCommands::RenameFolder(ReplayFolder* folder, const QString& name)
{
    std::string sjis;
    const TextFit fit = FitSjisText(name.toStdString(), kFolderNameMaxBytes, sjis);
    if (fit == TextFit::NotSjis) {
        ShowMessageBox(FolderNameFitMessage(fit), kMsgWarning);
        return false;
    }
    const RenameResult result = replidex::RenameFolder(folder, sjis);
    if (!result.accepted) {
        ShowMessageBox(result.message, kMsgWarning);
        return false;
    }
    if (fit == TextFit::Cut) ShowMessageBox(FolderNameFitMessage(fit), kMsgWarning);
    if (!result.modified) return true;
    form_.treeModel().folderChanged(folder);
    form_.SetModified(true);
    // A folder row of the shown folder carries the name too.
    DocumentState& doc = form_.document();
    if (doc.ShownNode && folder->parent == doc.ShownNode) {
        const int row = ChildRow(folder);
        if (const ReplayRow* old = form_.rowModel().row(row); old && old->folder == folder) {
            ReplayRow renamed = *old;
            renamed.texts[kColFile] = folder->name;
            form_.rowModel().replaceRow(row, std::move(renamed));
        }
    }
    return true;
}

void FolderTreeCommands::DropOnFolder(ReplayFolder* target, bool fromTree)
{
    ReplayFolder* source = SelectedFolder();
    if (!source || !target || target == source) return;
    if (!fromTree) {
        MoveRows(target, FolderRowRule::Checked);
        return;
    }
    if (target == source->parent) return;
    if (!ConfirmFolderMove(source, target, &FolderTreeCommands::AskFolderMove)) return;
    DocumentState& doc = form_.document();
    const FolderTreeEvents events = form_.treeModel().events();
    const MoveFolderResult moved = MoveFolder(source, target, doc.list.pool, &events);
    if (!moved.message.empty()) ShowMessageBox(moved.message, kMsgWarning);
    if (!moved.moved) return;
    ShowSelected(moved.moved);
    form_.SetModified(true);
}

void FolderTreeCommands::MoveRows(ReplayFolder* target, FolderRowRule rule)
{
    DocumentState& doc = form_.document();
    ReplayFolder* shown = doc.ShownNode;
    if (!shown || !target) return;
    std::vector<MovedRow> rows = form_.listCommands().SelectedMovedRows();
    if (rows.empty()) return;
    const FolderTreeEvents events = form_.treeModel().events();
    const MoveRowsResult result = MoveRowsToFolder(shown, target, rows, doc.list.pool, rule,
                                                   &FolderTreeCommands::AskFolderMove, &events);
    // Where the moved folder went is shown; otherwise the folder stays.
    ShowSelected(result.lastMoved ? result.lastMoved : SelectedFolder());
    if (result.modified) form_.SetModified(true);
}

void FolderTreeCommands::PMTree_DelClick()
{
    ReplayFolder* selected = SelectedFolder();
    if (!selected || !selected->parent) return;
    if (ConfirmBox(Sjis("削除してもよろしいですか？"), kMsgWarning) != kAnswerOk) return;
    ReplayFolder* parent = selected->parent;
    const SjisString name = selected->name;
    form_.SelectFolder(parent, false);
    DeleteSubFolder(parent, name);
}

void FolderTreeCommands::UpdateTreePopup()
{
    const ReplayFolder* selected = SelectedFolder();
    SetCommandEnabled(form_.ui().PMTree_Search, selected != nullptr);
    SetCommandEnabled(form_.ui().PMTree_Del, selected != nullptr && selected->parent != nullptr);
}

}  // namespace replidex
