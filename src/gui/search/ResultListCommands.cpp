#include "gui/search/ResultListCommands.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

#include "gui/browse/ReplayRowModel.h"

namespace replidex {

std::vector<int> ResultListCommands::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows(0)) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

ResultEnabling ResultListCommands::Enabling() const
{
    std::vector<ResultRowFacts> selected;
    for (const int index : SelectedRows()) {
        const ReplayRow* row = rows_->row(index);
        if (row) selected.push_back({index, row->icon, row->isFolder() ? -1 : row->poolIndex});
    }
    return EnableResultCommands(selected, rows_->rowCount());
}

bool ResultListCommands::ExchangeRows(int i, int j)
{
    const ReplayRow* a = rows_->row(i);
    const ReplayRow* b = rows_->row(j);
    if (i == j || !a || !b || a->isFolder() != b->isFolder()) return false;
    rows_->exchangeRows(i, j);
    return true;
}

void ResultListCommands::SelectOnly(int row)
{
    const QModelIndex index = rows_->index(row, 0);
    list_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
}

void ResultListCommands::MoveTo(int row, int limit)
{
    const int step = limit < row ? -1 : 1;
    int at = row;
    list_->setUpdatesEnabled(false);
    while (at != limit && ExchangeRows(at, at + step)) at += step;
    list_->setUpdatesEnabled(true);
    if (at != row) SelectOnly(at);
}

void ResultListCommands::MoveUp()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty() || selected.front() == 0) return;
    MoveTo(selected.front(), selected.front() - 1);
}

void ResultListCommands::MoveDown()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty() || selected.front() + 1 >= rows_->rowCount()) return;
    MoveTo(selected.front(), selected.front() + 1);
}

void ResultListCommands::MoveTop()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty()) return;
    MoveTo(selected.front(), 0);
}

void ResultListCommands::MoveBottom()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty()) return;
    MoveTo(selected.front(), rows_->rowCount() - 1);
}

}  // namespace replidex
