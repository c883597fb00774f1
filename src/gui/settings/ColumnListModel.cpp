#include "gui/settings/ColumnListModel.h"

#include <algorithm>
#include <utility>

namespace replidex {

int ColumnListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ColumnListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ColumnConfigRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(row.caption);
    case Qt::CheckStateRole: return row.checked ? Qt::Checked : Qt::Unchecked;
    default: return {};
    }
}

QVariant ColumnListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("項目");
    return {};
}

Qt::ItemFlags ColumnListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

bool ColumnListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void ColumnListModel::setRows(std::vector<ColumnConfigRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ColumnListModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= rowCount()) return;
    bool& mark = rows_[static_cast<std::size_t>(row)].checked;
    if (mark == checked) return;
    mark = checked;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

void ColumnListModel::exchangeRows(int a, int b)
{
    if (a < 0 || b < 0 || a >= rowCount() || b >= rowCount() || a == b) return;
    std::swap(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)]);
    emit dataChanged(index(std::min(a, b)), index(std::max(a, b)));
}

}  // namespace replidex
