// The replay list view: a report-style QTreeView with grid lines, multiple
// selection, small images and movable columns. Used by the main window and
// the search window alike.
#pragma once

#include <QTreeView>

#include <functional>

namespace replidex {

class ReplayRowModel;

// A QTreeView that tells its window where a mouse button went down and lets
// the window run the drag of its rows.
class ReplayListView final : public QTreeView {
public:
    using QTreeView::QTreeView;

    // ListMouseDown: a button went down at `pos` (viewport coordinates).
    std::function<void(QPoint pos)> onMousePress;
    // ListStartDrag: the user started dragging the selected rows; runs the
    // whole drag. Without it the view drags as QTreeView does.
    std::function<void()> onStartDrag;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};

// Sets `view` up as a replay list over `model` with the default column widths.
void SetUpReplayListView(QTreeView* view, ReplayRowModel* model);

}  // namespace replidex
