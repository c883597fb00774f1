// The scope chooser's tree: a copy of the folder names of the open list, whose
// nodes carry no data. A copy node and a folder of the list correspond only by
// their place in the tree (MapNodeByPath).
#pragma once

#include <QModelIndex>

#include "core/replay/ReplayRecords.h"

class QStandardItem;
class QStandardItemModel;

namespace replidex {

// Makes `copy` hold one top node named like `root` (no root: no node) with
// the folders below it copied (CopyFolderTree); answers the top node's index.
QModelIndex CopyRootFolder(const ReplayFolder* root, QStandardItemModel& copy);

// Adds a node for every child folder of `source` below `target`, in order,
// each with its own sub-folders below it (depth first).
void CopyFolderTree(const ReplayFolder* source, QStandardItem* target);

// MapNodeByPath from the list's tree into the copy: the copy node at the place
// that `folder` has below `root`; invalid when `folder` is not below `root`
// or the copy has no node there.
QModelIndex MapNodeByPath(const ReplayFolder* root, const ReplayFolder* folder,
                          const QStandardItemModel& copy);
// MapNodeByPath from the copy into the list's tree: the folder below `root`
// at the place that `node` has in the copy; nullptr when there is none.
ReplayFolder* MapNodeByPath(const QModelIndex& node, ReplayFolder* root);

}  // namespace replidex
