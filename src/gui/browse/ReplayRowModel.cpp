#include "gui/browse/ReplayRowModel.h"

#include <QMimeData>

#include <algorithm>

#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayIcons.h"

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

RowTexts::RowTexts(const RowTexts& other)
    : texts_(other.texts_ ? std::make_unique<Array>(*other.texts_) : nullptr)
{
}

RowTexts& RowTexts::operator=(const RowTexts& other)
{
    if (this != &other) texts_ = other.texts_ ? std::make_unique<Array>(*other.texts_) : nullptr;
    return *this;
}

RowTexts& RowTexts::operator=(Array texts)
{
    texts_ = std::make_unique<Array>(std::move(texts));
    return *this;
}

const SjisString& RowTexts::operator[](std::size_t id) const
{
    static const SjisString kNone;
    return texts_ ? (*texts_)[id] : kNone;
}

SjisString& RowTexts::operator[](std::size_t id)
{
    if (!texts_) texts_ = std::make_unique<Array>();
    return (*texts_)[id];
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
    const int id = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const ReplayRow& r = made(static_cast<std::size_t>(index.row()));
        return QString::fromStdString(Cp932ToUtf8Lossy(r.texts[static_cast<std::size_t>(id)]));
    }
    case Qt::DecorationRole: {
        if (index.column() != 0) return {};
        const ReplayRow& r = made(static_cast<std::size_t>(index.row()));
        return r.icon >= 0 ? QVariant(ReplayIcon(r.icon)) : QVariant();
    }
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
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren |
                          Qt::ItemIsDragEnabled;
    // Only folder rows take a new name in place, and only folder rows take drops.
    if (isFolderRow(index.row())) {
        flags |= Qt::ItemIsDropEnabled;
        if (index.column() == 0) flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool ReplayRowModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != 0) return false;
    if (!isFolderRow(index.row()) || !onRenameFolderRow) return false;
    return onRenameFolderRow(index.row(), value.toString());
}

Qt::DropActions ReplayRowModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions ReplayRowModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList ReplayRowModel::mimeTypes() const
{
    return {QString::fromLatin1(kReplayRowsMimeType)};
}

QMimeData* ReplayRowModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty()) return nullptr;
    return dragOrigin_.Payload(kReplayRowsMimeType);
}

bool ReplayRowModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                     const QModelIndex& parent) const
{
    // Rows (or a folder from the tree) are taken only over a folder row.
    if (!data) return false;
    if (!data->hasFormat(QString::fromLatin1(kReplayRowsMimeType)) &&
        !data->hasFormat(QString::fromLatin1(kFolderMimeType)))
        return false;
    return parent.isValid() && isFolderRow(parent.row());
}

bool ReplayRowModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                  int column, const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    // A folder dragged from the tree is accepted here but moves nothing.
    if (data->hasFormat(QString::fromLatin1(kReplayRowsMimeType)) && onDropOnFolderRow)
        onDropOnFolderRow(parent.row());
    // The window has moved the data and refilled the rows; the view must not
    // remove the dragged rows itself.
    return false;
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

const ReplayRow* ReplayRowModel::stored(int index) const
{
    if (index < 0 || index >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(index)];
}

ReplayRow& ReplayRowModel::made(std::size_t index) const
{
    ReplayRow& r = rows_[index];
    if (!r.made && makeRow) {
        makeRow(r);
        r.made = true;
    }
    return r;
}

const ReplayRow* ReplayRowModel::row(int index) const
{
    return stored(index) ? &made(static_cast<std::size_t>(index)) : nullptr;
}

const std::vector<ReplayRow>& ReplayRowModel::rows() const
{
    for (std::size_t i = 0; i < rows_.size(); ++i) made(i);
    return rows_;
}

bool ReplayRowModel::isFolderRow(int index) const
{
    const ReplayRow* r = stored(index);
    return r && r->isFolder();
}

bool ReplayRowModel::isMadeRow(int index) const
{
    const ReplayRow* row = stored(index);
    return row && row->made;
}

int ReplayRowModel::madeRowCount() const
{
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ReplayRow& r) { return r.made; }));
}

void ReplayRowModel::exchangeRows(int a, int b)
{
    if (a == b || !stored(a) || !stored(b)) return;
    std::swap(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)]);
    const int last = columnCount() - 1;
    emit dataChanged(index(a, 0), index(a, last));
    emit dataChanged(index(b, 0), index(b, last));
}

void ReplayRowModel::replaceRow(int at, ReplayRow r)
{
    if (!stored(at)) return;
    rows_[static_cast<std::size_t>(at)] = std::move(r);
    emit dataChanged(index(at, 0), index(at, columnCount() - 1));
}

int ReplayRowModel::findRowByText(const SjisString& text) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (made(i).texts[kColFile] == text) return static_cast<int>(i);
    return -1;
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
