#include "gui/browse/FolderTreeView.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/RowDrag.h"

namespace replidex {

namespace {

// What the tree does during a drag beyond what QTreeView does on its own:
// - A collapsed folder with sub-folders opens once the cursor has stayed on
//   it for kTreeHoverExpandMs, however much the cursor moves within it, and
//   an open folder stays open. The view's own delay starts again at every
//   move and then opens or closes whatever folder is under the cursor.
// - A folder dropped on a folder below itself reaches the model, whose
//   window refuses it with a message; the view alone would turn such a drop
//   away without a word.
class TreeDragHandler final : public QObject {
public:
    explicit TreeDragHandler(QTreeView* view) : QObject(view), view_(view)
    {
        expandTimer_.setSingleShot(true);
        expandTimer_.setInterval(kTreeHoverExpandMs);
        QObject::connect(&expandTimer_, &QTimer::timeout, this, [this] {
            if (hovered_.isValid()) view_->expand(hovered_);
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (forwarding_) return false;
        switch (event->type()) {
        case QEvent::DragMove: {
            auto* move = static_cast<QDragMoveEvent*>(event);
            Hover(view_->indexAt(move->position().toPoint()));
            if (!OverOwnDescendant(move)) return false;
            // The view still scrolls and tracks the cursor; the drop is taken.
            forwarding_ = true;
            QCoreApplication::sendEvent(view_->viewport(), event);
            forwarding_ = false;
            move->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            expandTimer_.stop();
            auto* drop = static_cast<QDropEvent*>(event);
            if (!OverOwnDescendant(drop)) return false;
            view_->model()->dropMimeData(drop->mimeData(), Qt::MoveAction, -1, -1,
                                         view_->indexAt(drop->position().toPoint()));
            // The view's drag state ends as when a drag leaves it.
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(view_->viewport(), &leave);
            return true;
        }
        case QEvent::DragLeave:
            expandTimer_.stop();
            return false;
        default:
            return false;
        }
    }

private:
    // The delay starts on a collapsed folder with children and keeps running
    // while the cursor stays on that folder.
    void Hover(const QModelIndex& node)
    {
        if (expandTimer_.isActive() && node != hovered_) expandTimer_.stop();
        if (!node.isValid() || view_->isExpanded(node) || !view_->model()->hasChildren(node)) return;
        if (expandTimer_.isActive()) return;
        hovered_ = node;
        expandTimer_.start();
    }

    // A folder of this tree (the selected one) over a node below itself.
    bool OverOwnDescendant(const QDropEvent* event) const
    {
        if (!event->mimeData() || !event->mimeData()->hasFormat(QString::fromLatin1(kFolderMimeType)))
            return false;
        const QModelIndex dragged = view_->currentIndex();
        const QModelIndex node = view_->indexAt(event->position().toPoint());
        if (!dragged.isValid() || !node.isValid()) return false;
        for (QModelIndex above = node.parent(); above.isValid(); above = above.parent())
            if (above == dragged) return true;
        return false;
    }

    QTreeView* view_;
    QTimer expandTimer_;
    QPersistentModelIndex hovered_;
    bool forwarding_ = false;
};

}  // namespace

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
    // The delayed opening is the drag handler's.
    view->setAutoExpandDelay(-1);
    view->viewport()->installEventFilter(new TreeDragHandler(view));
    view->setAutoScroll(true);
    view->setAutoScrollMargin(kTreeEdgeScrollMargin);
}

}  // namespace replidex
