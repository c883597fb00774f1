// The look of a replay list view: a report-style QTreeView with grid lines,
// multiple selection, small images and movable columns. Used by the main
// window and the search window alike.
#pragma once

class QTreeView;

namespace replidex {

class ReplayRowModel;

// Sets `view` up as a replay list over `model` with the default column widths.
void SetUpReplayListView(QTreeView* view, ReplayRowModel* model);

}  // namespace replidex
