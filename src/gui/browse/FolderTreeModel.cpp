#include "gui/browse/FolderTreeModel.h"

#include <QMimeData>

#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayIcons.h"

namespace replidex {

FolderTreeModel::FolderTreeModel(ReplayDocument& document, QObject* parent)
    : QAbstractItemModel(parent), document_(document)
{
}

const std::vector<std::unique_ptr<ReplayFolder>>& FolderTreeModel::siblingsOf(
    const ReplayFolder* parent) const
{
    return parent ? parent->children : document_.topLevel;
}

int FolderTreeModel::rowOf(const ReplayFolder* folder) const
{
    if (!folder) return -1;
    const auto& siblings = siblingsOf(folder->parent);
    for (std::size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == folder) return static_cast<int>(i);
    return -1;
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0) return {};
    if (parent.isValid() && parent.column() != 0) return {};
    const auto& siblings = siblingsOf(folderAt(parent));
    if (row >= static_cast<int>(siblings.size())) return {};
    return createIndex(row, 0, siblings[static_cast<std::size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    const ReplayFolder* folder = folderAt(child);
    if (!folder || !folder->parent) return {};
    const int row = rowOf(folder->parent);
    return row < 0 ? QModelIndex() : createIndex(row, 0, folder->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(siblingsOf(folderAt(parent)).size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    const ReplayFolder* folder = folderAt(index);
    if (!folder) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(Cp932ToUtf8Lossy(folder->name));
    case Qt::DecorationRole:
        return FolderNodeIcon();
    default:
        return {};
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

bool FolderTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    ReplayFolder* folder = folderAt(index);
    if (role != Qt::EditRole || !folder || !onRename) return false;
    return onRename(folder, value.toString());
}

Qt::DropActions FolderTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions FolderTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList FolderTreeModel::mimeTypes() const
{
    return {QString::fromLatin1(kFolderMimeType), QString::fromLatin1(kReplayRowsMimeType)};
}

QMimeData* FolderTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty()) return nullptr;
    // The dragged folder is the tree's selection; the data names only the
    // kind and the window.
    return dragOrigin_.Payload(kFolderMimeType);
}

bool FolderTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                      const QModelIndex& parent) const
{
    // Drops land on a node, never between nodes.
    if (!data || row >= 0 || !folderAt(parent)) return false;
    return data->hasFormat(QString::fromLatin1(kFolderMimeType)) ||
           data->hasFormat(QString::fromLatin1(kReplayRowsMimeType));
}

bool FolderTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                   int column, const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    if (onDrop) onDrop(folderAt(parent), data->hasFormat(QString::fromLatin1(kFolderMimeType)));
    // The move is done; the view must not remove the dragged node itself.
    return false;
}

ReplayFolder* FolderTreeModel::folderAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this) return nullptr;
    return static_cast<ReplayFolder*>(index.internalPointer());
}

QModelIndex FolderTreeModel::indexOf(const ReplayFolder* folder) const
{
    const int row = rowOf(folder);
    if (row < 0) return {};
    return createIndex(row, 0, const_cast<ReplayFolder*>(folder));
}

void FolderTreeModel::beginReplaceTree()
{
    beginResetModel();
}

void FolderTreeModel::endReplaceTree()
{
    endResetModel();
}

FolderTreeEvents FolderTreeModel::events()
{
    FolderTreeEvents events;
    events.beforeInsert = [this](ReplayFolder* parent, int row) {
        beginInsertRows(indexOf(parent), row, row);
    };
    events.afterInsert = [this](ReplayFolder*, int) { endInsertRows(); };
    events.beforeRemove = [this](ReplayFolder* parent, int row) {
        beginRemoveRows(indexOf(parent), row, row);
    };
    events.afterRemove = [this](ReplayFolder*, int) { endRemoveRows(); };
    return events;
}

void FolderTreeModel::moveChild(ReplayFolder* parent, int from, int to)
{
    if (!parent) return;
    const int count = static_cast<int>(parent->children.size());
    if (from < 0 || from >= count || to < 0 || to > count || to == from || to == from + 1) return;
    const QModelIndex parentIndex = indexOf(parent);
    if (!beginMoveRows(parentIndex, from, from, parentIndex, to)) return;
    auto& children = parent->children;
    auto node = std::move(children[static_cast<std::size_t>(from)]);
    children.erase(children.begin() + from);
    children.insert(children.begin() + (to > from ? to - 1 : to), std::move(node));
    endMoveRows();
}

void FolderTreeModel::folderChanged(const ReplayFolder* folder)
{
    const QModelIndex index = indexOf(folder);
    if (index.isValid()) emit dataChanged(index, index);
}

}  // namespace replidex
