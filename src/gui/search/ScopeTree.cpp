#include "gui/search/ScopeTree.h"

#include <QStandardItemModel>

#include <algorithm>

#include "core/search/ScopePath.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayIcons.h"

namespace replidex {

namespace {

QStandardItem* FolderNode(const ReplayFolder& folder)
{
    auto* node = new QStandardItem(FolderNodeIcon(), QString::fromStdString(Cp932ToUtf8Lossy(folder.name)));
    node->setEditable(false);
    node->setDragEnabled(false);
    node->setDropEnabled(false);
    return node;
}

}  // namespace

QModelIndex CopyRootFolder(const ReplayFolder* root, QStandardItemModel& copy)
{
    copy.clear();
    if (!root) return {};
    QStandardItem* top = FolderNode(*root);
    copy.appendRow(top);
    CopyFolderTree(root, top);
    return top->index();
}

void CopyFolderTree(const ReplayFolder* source, QStandardItem* target)
{
    if (!source || !target) return;
    for (const auto& child : source->children) {
        QStandardItem* node = FolderNode(*child);
        target->appendRow(node);
        CopyFolderTree(child.get(), node);
    }
}

QModelIndex MapNodeByPath(const ReplayFolder* root, const ReplayFolder* folder,
                          const QStandardItemModel& copy)
{
    IndexPath path;
    if (!FolderIndexPath(root, folder, path)) return {};
    QModelIndex node = copy.index(0, 0);
    for (const int index : path) {
        if (!node.isValid() || index >= copy.rowCount(node)) return {};
        node = copy.index(index, 0, node);
    }
    return node;
}

ReplayFolder* MapNodeByPath(const QModelIndex& node, ReplayFolder* root)
{
    if (!node.isValid()) return nullptr;
    IndexPath path;
    for (QModelIndex at = node; at.parent().isValid(); at = at.parent()) path.push_back(at.row());
    std::reverse(path.begin(), path.end());
    return FolderAtIndexPath(root, path);
}

}  // namespace replidex
