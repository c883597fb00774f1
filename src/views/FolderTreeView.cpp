#include "views/FolderTreeView.h"

#include <QTreeView>

#include "views/FolderTreeModel.h"

namespace replidex {

void SetUpFolderTreeView(QTreeView* view, FolderTreeModel* model)
{
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(true);
    view->setAutoExpandDelay(kTreeHoverExpandMs);
    view->setAutoScroll(true);
    view->setAutoScrollMargin(kTreeEdgeScrollMargin);
}

}  // namespace replidex
