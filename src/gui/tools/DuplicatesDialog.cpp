#include "gui/tools/DuplicatesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"

namespace replidex {

DuplicatesDialog::DuplicatesDialog(QWidget* parent, Actions actions) : QDialog(parent), actions_(std::move(actions))
{
    setObjectName(QStringLiteral("DuplicatesDialog"));
    setWindowTitle(QStringLiteral("重複の確認"));
    resize(760, 360);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("DuplicatesTable"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(this);
    showButton_ = buttons->addButton(QStringLiteral("一覧で表示"), QDialogButtonBox::ActionRole);
    showButton_->setObjectName(QStringLiteral("BtnShow"));
    removeButton_ = buttons->addButton(QStringLiteral("リストから外す"), QDialogButtonBox::ActionRole);
    removeButton_->setObjectName(QStringLiteral("BtnRemove"));
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(showButton_, &QPushButton::clicked, this, &DuplicatesDialog::BtnShowClick);
    connect(removeButton_, &QPushButton::clicked, this, &DuplicatesDialog::BtnRemoveClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DuplicatesDialog::UpdateButtons);
    connect(&model_, &QAbstractItemModel::modelReset, this, &DuplicatesDialog::UpdateButtons);
    UpdateButtons();
}

void DuplicatesDialog::setGroups(const ReplayDocument& doc, const std::vector<DuplicateGroup>& groups)
{
    model_.setGroups(doc, groups);
    table_->resizeColumnsToContents();
}

std::vector<ReplayEntry*> DuplicatesDialog::SelectedEntries() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<ReplayEntry*> entries;
    for (const int row : rows) {
        ReplayEntry* e = model_.rowAt(row).entry;
        // One entry may stand in a path group and a content group at once.
        if (std::find(entries.begin(), entries.end(), e) == entries.end()) entries.push_back(e);
    }
    return entries;
}

void DuplicatesDialog::BtnShowClick()
{
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid() || !actions_.showRow) return;
    const DuplicateRow& row = model_.rowAt(current.row());
    actions_.showRow(row.folder, row.entry->poolIndex);
}

void DuplicatesDialog::BtnRemoveClick()
{
    const std::vector<ReplayEntry*> entries = SelectedEntries();
    if (entries.empty() || !actions_.removeEntries) return;
    // Differing memos would be lost with their entries: the memos of the
    // entries that stay in their groups count as well.
    std::set<int> groups;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        groups.insert(model_.rowAt(index.row()).group);
    std::vector<ReplayEntry*> touched;
    for (int r = 0; r < model_.rowCount(); ++r)
        if (groups.count(model_.rowAt(r).group)) touched.push_back(model_.rowAt(r).entry);
    if (MemosDiffer(touched) &&
        ConfirmBox(Sjis("メモの異なる項目があります。\nリストから外しますか？"), kMsgConfirmation) != kAnswerOk)
        return;
    model_.removeEntries(entries);
    actions_.removeEntries(entries);
}

void DuplicatesDialog::UpdateButtons()
{
    const bool any = table_->selectionModel()->hasSelection();
    showButton_->setEnabled(any);
    removeButton_->setEnabled(any);
}

}  // namespace replidex
