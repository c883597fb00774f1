#include "gui/browse/ReplayListView.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "core/settings/ColumnModel.h"
#include "gui/browse/CellTextDelegate.h"
#include "gui/browse/ReplayRowModel.h"

namespace replidex {

namespace {

// Draws the grid: a thin line under every row and right of every cell. The
// cells themselves come from laid-out texts kept between paints, so that
// scrolling a long list does not lay every text out again.
class GridLineDelegate final : public CellTextDelegate {
public:
    using CellTextDelegate::CellTextDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        CellTextDelegate::paint(painter, option, index);
        QColor line = option.palette.color(QPalette::Mid);
        line.setAlpha(90);
        // One-pixel rectangles rather than pen lines: a translucent pen line
        // is blended pixel by pixel (split over worker threads for a long
        // row), a rectangle in one span per pixel row.
        const QRect r = option.rect;
        painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), line);
        painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), line);
    }
};

// Rows of a list dragged onto a folder row that is itself among them: the
// view alone turns such a drop away (it will not drop a selection on itself),
// but the other rows are to go into that folder (the folder row itself stays).
class SelectedFolderDropHandler final : public QObject {
public:
    explicit SelectedFolderDropHandler(QTreeView* view) : QObject(view), view_(view) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (forwarding_) return false;
        if (event->type() != QEvent::DragMove && event->type() != QEvent::Drop) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QModelIndex target = SelectedFolderRowUnder(drop);
        if (!target.isValid()) return false;
        if (event->type() == QEvent::DragMove) {
            // The view still scrolls and shows where the cursor is.
            forwarding_ = true;
            QCoreApplication::sendEvent(view_->viewport(), event);
            forwarding_ = false;
            drop->acceptProposedAction();
            return true;
        }
        view_->model()->dropMimeData(drop->mimeData(), Qt::MoveAction, -1, -1, target);
        // The rows were moved by the window; the view removes nothing itself.
        drop->setDropAction(Qt::IgnoreAction);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(view_->viewport(), &leave);
        return true;
    }

private:
    // The folder row under the cursor when this view's own rows, that row
    // among them, are being dragged over it.
    QModelIndex SelectedFolderRowUnder(const QDropEvent* event) const
    {
        if (event->source() != view_ || !event->mimeData() ||
            !event->mimeData()->hasFormat(QString::fromLatin1(kReplayRowsMimeType)))
            return {};
        const QModelIndex index = view_->indexAt(event->position().toPoint());
        if (!index.isValid() || !view_->selectionModel()->isRowSelected(index.row(), {}))
            return {};
        const QModelIndex first = index.siblingAtColumn(0);
        if (!view_->model()->canDropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, first))
            return {};
        return first;
    }

    QTreeView* view_;
    bool forwarding_ = false;
};

}  // namespace

void ReplayListView::mousePressEvent(QMouseEvent* event)
{
    if (onMousePress) onMousePress(event->position().toPoint());
    QTreeView::mousePressEvent(event);
}

void ReplayListView::startDrag(Qt::DropActions supportedActions)
{
    if (onStartDrag) onStartDrag();
    else QTreeView::startDrag(supportedActions);
}

void SetUpReplayListView(QTreeView* view, ReplayRowModel* model)
{
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Folder rows are renamed in place (the model allows no other cell);
    // rows are dragged onto folder rows and onto tree folders.
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(true);
    view->viewport()->installEventFilter(new SelectedFolderDropHandler(view));
    view->setIconSize(QSize(16, 16));
    view->setItemDelegate(new GridLineDelegate(view));

    QHeaderView* header = view->header();
    // Every column can be dragged to another place, "File" too, and every
    // width the column layout allows can be shown as it is.
    header->setSectionsMovable(true);
    header->setFirstSectionMovable(true);
    header->setMinimumSectionSize(ColumnModel::kMinWidth);
    header->setMaximumSectionSize(ColumnModel::kMaxWidth);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < model->columnCount(); ++column)
        header->resizeSection(column, DefaultColumnWidth(model->columnId(column)));
}

}  // namespace replidex
