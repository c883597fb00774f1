#include "views/ReplayRowModel.h"

#include "shell/SjisCodec.h"
#include "views/ReplayIcons.h"

namespace replidex {

namespace {

constexpr std::array<const char*, kColumnCount> kColumnNames = {"File", "Path", "Info",
                                                                 "1P",   "2P",   "Memo"};
constexpr std::array<int, kColumnCount> kDefaultWidths = {110, 200, 130, 200, 200, 100};

}  // namespace

const char* ColumnName(int id)
{
    return id >= 0 && id < kColumnCount ? kColumnNames[static_cast<std::size_t>(id)] : "";
}

int DefaultColumnWidth(int id)
{
    return id >= 0 && id < kColumnCount ? kDefaultWidths[static_cast<std::size_t>(id)] : 0;
}

int RowStateOfIcon(const ReplayRow* row)
{
    if (!row) return kRowStateNoRow;
    if (row->icon == kIconFailed) return kRowStateFailed;
    if (row->icon > kIconFailed) return kRowStateFolder;
    // An entry row without replay info has no icon (-1) and so the class -1,
    // which none of the commands that look at the class accepts.
    return row->icon % 3;
}

ReplayRowModel::ReplayRowModel(QObject* parent) : QAbstractTableModel(parent)
{
    for (int id = 0; id < kColumnCount; ++id) columns_.push_back(id);
}

int ReplayRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReplayRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReplayRowModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ReplayRow& r = rows_[static_cast<std::size_t>(index.row())];
    const int id = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Cp932ToUtf8Lossy(r.texts[static_cast<std::size_t>(id)]));
    case Qt::DecorationRole:
        if (index.column() == 0 && r.icon >= 0) return ReplayIcon(r.icon);
        return {};
    default:
        return {};
    }
}

QVariant ReplayRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const int id = columnId(section);
    return id < 0 ? QVariant() : QVariant(QString::fromLatin1(ColumnName(id)));
}

Qt::ItemFlags ReplayRowModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ReplayRowModel::setRows(std::vector<ReplayRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ReplayRowModel::clear()
{
    if (rows_.empty()) return;
    beginRemoveRows({}, 0, static_cast<int>(rows_.size()) - 1);
    rows_.clear();
    endRemoveRows();
}

const ReplayRow* ReplayRowModel::row(int index) const
{
    if (index < 0 || index >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(index)];
}

void ReplayRowModel::setShownColumns(const std::array<bool, kColumnCount>& shown)
{
    std::vector<int> columns;
    for (int id = 0; id < kColumnCount; ++id)
        if (id == kColFile || shown[static_cast<std::size_t>(id)]) columns.push_back(id);
    if (columns == columns_) return;
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

int ReplayRowModel::columnId(int column) const
{
    if (column < 0 || column >= static_cast<int>(columns_.size())) return -1;
    return columns_[static_cast<std::size_t>(column)];
}

int ReplayRowModel::columnOf(int id) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == id) return static_cast<int>(i);
    return -1;
}

}  // namespace replidex
