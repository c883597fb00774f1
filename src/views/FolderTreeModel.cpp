#include "views/FolderTreeModel.h"

#include "shell/SjisCodec.h"
#include "views/ReplayIcons.h"

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
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
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

}  // namespace replidex
