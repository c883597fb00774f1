#include "gui/browse/ReplayListCommands.h"

#include <QAction>
#include <QDrag>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

#include "core/replay/ReplaySlots.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeCommands.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayListView.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/browse/RowDrag.h"
#include "gui/browse/ViewKeys.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/MainWindow.h"

namespace replidex {

void ReplayListCommands::Connect()
{
    ReplayRowModel& model = form_.rowModel();
    ReplayListView* list = form_.ui().List;
    model.onRenameFolderRow = [this](int row, const QString& name) {
        return RenameFolderRow(row, name);
    };
    model.onDropOnFolderRow = [this](int row) { DropOnFolderRow(row); };
    QObject::connect(list, &QAbstractItemView::doubleClicked, list,
                     [this](const QModelIndex& index) { OpenRow(index); });
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list,
                     [this] { RunEnabling(); });
    QObject::connect(&model, &QAbstractItemModel::modelReset, list, [this] { RunEnabling(); });
    list->onMousePress = [this](QPoint pos) { ListMouseDown(pos); };
    list->onStartDrag = [this] { ListStartDrag(); };
    OnViewKeys(list, {Qt::Key_Return, Qt::Key_Enter}, [this] { OpenCurrentRow(); });
    OnViewKeys(list, {Qt::Key_Delete}, [this] { form_.DeleteRows(); });
    OnViewKeys(list, {Qt::Key_F2}, [this] { RenameSelectedFolderRow(); });
}

std::vector<int> ReplayListCommands::SelectedRows() const
{
    std::vector<int> rows;
    const QModelIndexList selected = form_.ui().List->selectionModel()->selectedRows(0);
    rows.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<MovedRow> ReplayListCommands::SelectedMovedRows() const
{
    std::vector<MovedRow> moved;
    for (const int index : SelectedRows()) {
        const ReplayRow* row = form_.rowModel().row(index);
        if (!row) continue;
        MovedRow m;
        m.isFolder = row->isFolder();
        m.text = row->texts[kColFile];
        m.entryIndex = row->isFolder() ? -1 : row->poolIndex;
        moved.push_back(std::move(m));
    }
    return moved;
}

int ReplayListCommands::FolderRowCount() const
{
    const ReplayRowModel& model = form_.rowModel();
    int count = 0;
    while (model.isFolderRow(count)) ++count;
    return count;
}

int ReplayListCommands::EntryCount() const
{
    const ReplayFolder* shown = form_.document().ShownNode;
    return shown && shown->entries ? static_cast<int>(shown->entries->size()) : 0;
}

ListEnabling ReplayListCommands::Enabling() const
{
    ListEnabling on;
    const std::vector<int> selected = SelectedRows();
    const int n = static_cast<int>(selected.size());
    if (n == 0) return on;
    const ReplayRowModel& model = form_.rowModel();
    const EntryPool& pool = form_.document().list.pool;
    const ReplayFolder* shown = form_.document().ShownNode;

    // An entry row that names an entry of the pool, with its state class.
    const auto entryRow = [&](int index, int* state) -> const ReplayEntry* {
        const ReplayRow* row = model.row(index);
        if (!row || row->isFolder() || row->poolIndex < 0) return nullptr;
        *state = RowStateOfIcon(row);
        return pool.lookup(row->poolIndex);
    };
    // The normal transfer takes only files named REPLAYnn.RPD.
    const auto sendable = [](const ReplayEntry* entry) {
        return entry && IsGameReplayFileName(entry->fileName);
    };

    on.deleteRows = true;
    for (const int index : selected) {
        int state = -1;
        const ReplayRow* row = model.row(index);
        if (row && !row->isFolder()) on.deleteFiles = true;
        const ReplayEntry* entry = entryRow(index, &state);
        if (!entry) continue;
        if (state == kStateChanged) on.refresh = true;
        if (state == kStateUnchanged) {
            on.sendRenamed = true;
            if (sendable(entry)) on.sendAsIs = true;
        }
    }
    if (n > 1) return on;

    const int index = selected.front();
    int state = -1;
    const ReplayRow* row = model.row(index);
    on.memo = entryRow(index, &state) != nullptr;
    const int folders = shown ? static_cast<int>(shown->children.size()) : 0;
    if (row && row->isFolder()) {
        on.moveUp = folders > 1 && index != 0;
        on.moveDown = folders > 1 && index != FolderRowCount() - 1;
    } else if (row) {
        const int firstEntry = FolderRowCount();
        on.moveUp = EntryCount() > 1 && index != firstEntry;
        on.moveDown = EntryCount() > 1 && index != model.rowCount() - 1;
    }
    return on;
}

void ReplayListCommands::RunEnabling()
{
    const std::vector<int> selected = SelectedRows();
    if (!selected.empty()) form_.document().CurrentRow = selected.front();
    const ListEnabling on = Enabling();
    const MainWindowUi& ui = form_.ui();
    const auto& items = form_.listMenuItems();
    const auto set = [](QAction* action, bool enabled) {
        if (action) SetCommandEnabled(action, enabled);
    };
    set(items.deleteRows, on.deleteRows);
    set(items.deleteFiles, on.deleteFiles);
    set(items.memo, on.memo);
    set(items.refresh, on.refresh);
    for (QAction* a : {items.sendAsIs, ui.MMFileCopy, ui.SpdBtnSend1}) set(a, on.sendAsIs);
    for (QAction* a : {items.sendRenamed, ui.MMFileCopyRename, ui.SpdBtnSend2}) set(a, on.sendRenamed);
    for (QAction* a : {items.moveUp, items.moveTop, ui.SpdBtnUp, ui.SpdBtnTop}) set(a, on.moveUp);
    for (QAction* a : {items.moveDown, items.moveBottom, ui.SpdBtnDown, ui.SpdBtnLast})
        set(a, on.moveDown);
}

bool ReplayListCommands::ExchangeRows(ReplayFolder* folder, int i, int j)
{
    ReplayRowModel& model = form_.rowModel();
    const ReplayRow* a = model.row(i);
    const ReplayRow* b = model.row(j);
    if (!folder || i == j || !a || !b || a->isFolder() != b->isFolder()) return false;
    if (a->isFolder()) {
        // Folder rows come first, so row positions are child positions.
        const int lower = std::min(i, j);
        const int higher = std::max(i, j);
        const int count = static_cast<int>(folder->children.size());
        if (higher >= count) return false;
        form_.treeModel().moveChild(folder, higher, lower);
        if (higher - lower > 1) form_.treeModel().moveChild(folder, lower + 1, higher + 1);
    } else {
        if (!folder->entries) return false;
        auto& list = *folder->entries;
        const int first = FolderRowCount();
        // Row positions match list positions unless the list names empty
        // slots (which give no row); then the rows' own indices are looked up.
        const auto positionOf = [&](int row, std::int32_t poolIndex) -> int {
            const int at = row - first;
            if (at >= 0 && at < static_cast<int>(list.size()) &&
                list[static_cast<std::size_t>(at)] == poolIndex)
                return at;
            const auto found = std::find(list.begin(), list.end(), poolIndex);
            return found == list.end() ? -1 : static_cast<int>(found - list.begin());
        };
        const int pa = positionOf(i, a->poolIndex);
        const int pb = positionOf(j, b->poolIndex);
        if (pa < 0 || pb < 0) return false;
        std::swap(list[static_cast<std::size_t>(pa)], list[static_cast<std::size_t>(pb)]);
    }
    model.exchangeRows(i, j);
    form_.SetModified(true);
    return true;
}

void ReplayListCommands::SelectOnly(int row)
{
    QTreeView* list = form_.ui().List;
    const QModelIndex index = form_.rowModel().index(row, 0);
    list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(index);
}

int ReplayListCommands::RowToMove(bool up) const
{
    const ListEnabling on = Enabling();
    if (!(up ? on.moveUp : on.moveDown)) return -1;
    return SelectedRows().front();
}

void ReplayListCommands::MoveUp()
{
    // The selected row moves, also when the focus went to another row.
    const int row = RowToMove(true);
    if (row <= 0) return;
    if (ExchangeRows(form_.document().ShownNode, row, row - 1)) SelectOnly(row - 1);
}

void ReplayListCommands::MoveDown()
{
    const int row = RowToMove(false);
    if (row < 0 || row + 1 >= form_.rowModel().rowCount()) return;
    if (ExchangeRows(form_.document().ShownNode, row, row + 1)) SelectOnly(row + 1);
}

void ReplayListCommands::MoveTo(int row, int limit)
{
    const int step = limit < row ? -1 : 1;
    int at = row;
    while (at != limit && ExchangeRows(form_.document().ShownNode, at, at + step)) at += step;
    if (at != row) SelectOnly(at);
}

void ReplayListCommands::MoveTop()
{
    const int row = RowToMove(true);
    if (row <= 0) return;
    const int folders = FolderRowCount();
    const int limit = form_.rowModel().isFolderRow(row) ? 0 : folders;
    if (limit >= form_.rowModel().rowCount() || row <= limit) return;
    MoveTo(row, limit);
}

void ReplayListCommands::MoveBottom()
{
    const int row = RowToMove(false);
    if (row < 0) return;
    const int limit =
        form_.rowModel().isFolderRow(row) ? FolderRowCount() - 1 : form_.rowModel().rowCount() - 1;
    if (row >= limit) return;
    MoveTo(row, limit);
}

void ReplayListCommands::NewFolder()
{
    ReplayFolder* shown = form_.document().ShownNode;
    ReplayFolder* created = form_.treeCommands().CreateSubFolder(shown);
    if (!created) return;
    const int row = form_.rowModel().findRowByText(created->name);
    if (row < 0) return;
    const QModelIndex index = form_.rowModel().index(row, 0);
    SelectOnly(row);
    form_.ui().List->edit(index);
}

void ReplayListCommands::DeleteRows()
{
    std::vector<MovedRow> rows = SelectedMovedRows();
    if (rows.empty()) return;
    if (ConfirmBox(Sjis("削除してもよろしいですか？"), kMsgWarning) != kAnswerOk) return;
    DocumentState& doc = form_.document();
    ReplayFolder* shown = doc.ShownNode;
    doc.CurrentRow = -1;
    bool modified = false;
    for (const MovedRow& row : rows) {
        if (row.isFolder) {
            form_.treeCommands().DeleteSubFolder(shown, row.text);
            continue;
        }
        // The row's own entry goes: never another one of the same text.
        const ReplayEntry* entry = doc.list.pool.lookup(row.entryIndex);
        if (entry && DeleteEntryFromFolder(shown, doc.list.pool, entry->fullPath())) modified = true;
    }
    if (modified) form_.SetModified(true);
    form_.ShowFolderContents(shown);
}

void ReplayListCommands::OpenRow(const QModelIndex& index)
{
    const ReplayRow* row = form_.rowModel().row(index.row());
    if (!row) return;
    form_.document().CurrentRow = index.row();
    if (!row->isFolder() || !row->folder) return;
    ReplayFolder* folder = row->folder;
    form_.SelectFolder(folder, false);
    if (form_.document().ShownNode != folder) form_.ShowFolderContents(folder);
}

void ReplayListCommands::OpenCurrentRow()
{
    const QModelIndex current = form_.ui().List->currentIndex();
    if (!current.isValid() || !form_.ui().List->selectionModel()->isRowSelected(current.row(), {})) return;
    OpenRow(current);
}

void ReplayListCommands::RenameSelectedFolderRow()
{
    // The focused row when it is selected, else the one selected row; the
    // caption cell, whichever cell of the row has the focus.
    const QTreeView* list = form_.ui().List;
    const std::vector<int> selected = SelectedRows();
    const int current = list->currentIndex().row();
    int row = -1;
    if (std::find(selected.begin(), selected.end(), current) != selected.end()) row = current;
    else if (selected.size() == 1) row = selected.front();
    if (!form_.rowModel().isFolderRow(row)) return;
    form_.ui().List->edit(form_.rowModel().index(row, 0));
}

bool ReplayListCommands::RenameFolderRow(int row, const QString& name)
{
    const ReplayRow* r = form_.rowModel().row(row);
    if (!r || !r->isFolder() || !r->folder) return false;
    return form_.treeCommands().RenameFolder(r->folder, name);
}

void ReplayListCommands::DropOnFolderRow(int row)
{
    const ReplayRow* r = form_.rowModel().row(row);
    if (!r || !r->isFolder()) return;
    ReplayFolder* target = FindChildFolder(form_.document().ShownNode, r->texts[kColFile]);
    if (!target) return;
    form_.treeCommands().MoveRows(target, FolderRowRule::Direct);
}

void ReplayListCommands::ListMouseDown(const QPoint& pos)
{
    if (RowDragImage* images = form_.dragImages()) images->RememberPress(pos);
}

void ReplayListCommands::ListStartDrag()
{
    QTreeView* list = form_.ui().List;
    const QModelIndexList selected = list->selectionModel()->selectedRows(0);
    if (selected.isEmpty()) return;
    // Owned by the list until the drag is over; the drop moves the rows (it
    // works on the selection, also on selected rows not on screen).
    auto* drag = new QDrag(list);
    drag->setMimeData(form_.rowModel().mimeData(selected));
    if (RowDragImage* images = form_.dragImages()) {
        images->Build(*list, form_.rowModel());
        images->Dress(*drag);
    }
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    if (RowDragImage* images = form_.dragImages()) images->Clear();
}

}  // namespace replidex
