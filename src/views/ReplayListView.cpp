#include "views/ReplayListView.h"

#include <QHeaderView>
#include <QPainter>
#include <QTreeView>

#include "views/CellTextDelegate.h"
#include "views/ReplayRowModel.h"

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

}  // namespace

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
    view->setIconSize(QSize(16, 16));
    view->setItemDelegate(new GridLineDelegate(view));

    QHeaderView* header = view->header();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < model->columnCount(); ++column)
        header->resizeSection(column, DefaultColumnWidth(model->columnId(column)));
}

}  // namespace replidex
