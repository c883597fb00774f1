#include "gui/main/ListWindowBase.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>
#include <QWidget>

#include <algorithm>
#include <memory>

#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/MemoDialog.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/CommandKeys.h"
#include "gui/main/GameFolderCommands.h"

namespace replidex {

ListWindowBase::ListWindowBase(QWidget* form, bool isMainWindow) : form_(form), isMainWindow_(isMainWindow)
{
}

void ListWindowBase::BaseFormCreate()
{
    if (listMenu_) return;
    listMenu_ = new QMenu(form_);
    listMenu_->setObjectName(QStringLiteral("ListMenu"));
    QObject::connect(listMenu_, &QMenu::aboutToShow, form_, [this] { ListMenuOpening(); });
}

void ListWindowBase::BaseFormShow()
{
    if (!listMenu_ || !listMenu_->isEmpty()) return;
    BuildListMenu();
    QTreeView* list = ListViewOf();
    if (!list) return;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, listMenu_, [this, list](const QPoint& pos) {
        listMenu_->popup(list->viewport()->mapToGlobal(pos));
    });
    AssignListMenuKeys(listMenuItems_, list);
}

void ListWindowBase::BuildListMenu()
{
    const auto item = [this](const QString& caption, void (ListWindowBase::*run)()) {
        QAction* action = listMenu_->addAction(caption);
        QObject::connect(action, &QAction::triggered, form_, [this, run] { (this->*run)(); });
        return action;
    };
    const bool main = isMainWindow_;
    if (main)
        listMenuItems_.sendAsIs =
            item(QStringLiteral("通常転送(ファイル名そのまま)(&C)"), &ListWindowBase::SendAsIs);
    listMenuItems_.sendRenamed = item(
        QStringLiteral("追加転送（上書きしないようにファイル名を変更）(&R)"), &ListWindowBase::SendRenamed);
    if (main) listMenuItems_.newFolder = item(QStringLiteral("フォルダを新規作成(&F)"), &ListWindowBase::NewFolder);
    listMenu_->addSeparator();
    listMenuItems_.memo = item(QStringLiteral("メモ(&M)"), &ListWindowBase::EditMemo);
    listMenu_->addSeparator();
    if (main) {
        listMenuItems_.refresh = item(QStringLiteral("最新の情報に更新(&N)"), &ListWindowBase::RefreshInfo);
        listMenu_->addSeparator();
        listMenuItems_.deleteRows = item(QStringLiteral("削除(&E)"), &ListWindowBase::DeleteRows);
        listMenuItems_.deleteFiles = item(QStringLiteral("実ファイルを削除(&X)"), &ListWindowBase::DeleteFiles);
    }
    listMenu_->addSeparator();
    listMenuItems_.moveTop = item(QStringLiteral("一番上に移動(&T)"), &ListWindowBase::MoveTop);
    listMenuItems_.moveUp = item(QStringLiteral("１つ上に移動(&U)"), &ListWindowBase::MoveUp);
    listMenuItems_.moveDown = item(QStringLiteral("１つ下に移動(&D)"), &ListWindowBase::MoveDown);
    listMenuItems_.moveBottom = item(QStringLiteral("一番下に移動(&L)"), &ListWindowBase::MoveBottom);
}

std::vector<int> ListWindowBase::SelectedRowsOf()
{
    std::vector<int> rows;
    QTreeView* list = ListViewOf();
    if (!list || !list->selectionModel()) return rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows(0)) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListWindowBase::SendRenamed()
{
    GameFolderCommands(*this).AdditionalTransfer(GameFolderPath());
}

void ListWindowBase::EditMemo()
{
    ReplayRowModel* model = RowModelOf();
    EntryPool* pool = PoolOf();
    if (!model || !pool || !memo_) return;
    const std::vector<int> selected = SelectedRowsOf();
    if (selected.empty()) return;
    const int index = selected.front();
    const ReplayRow* row = model->row(index);
    if (!row || row->isFolder()) return;
    ReplayEntry* entry = pool->lookup(row->poolIndex);
    if (!entry) return;

    memo_->Clear();
    if (!entry->memo.empty()) memo_->SetMemo(entry->memo);
    if (memo_->exec() != QDialog::Accepted) return;
    SetModified(true);
    ReplayRow changed = *row;
    changed.texts[kColMemo] = SjisString(MemoFirstLine(memo_->Memo()));
    model->replaceRow(index, std::move(changed));
    entry->memo = memo_->Memo();
}

void ListWindowBase::RefreshInfo()
{
    ReplayRowModel* model = RowModelOf();
    EntryPool* pool = PoolOf();
    if (!model || !pool) return;
    for (const int index : SelectedRowsOf()) {
        const ReplayRow* row = model->row(index);
        if (!row || row->isFolder()) continue;
        ReplayEntry* entry = pool->lookup(row->poolIndex);
        if (!entry || !entry->info) continue;
        const SjisString path = entry->fullPath();
        const std::int32_t age = FileAgeOf(path);
        // Unchanged files are skipped. A file that is gone keeps the info
        // stored for it: nothing is read, nothing is lost.
        if (age == kNoFileAge || age == entry->fileAge) continue;
        ReplayInfo info;
        if (AnalyseReplay(path, info) <= 0) continue;
        entry->info = info;
        entry->fileAge = age;
        model->replaceRow(index, EntryRow(*entry, EntryState(*entry)));
        if (!IsModified()) SetModified(true);
    }
}

}  // namespace replidex
