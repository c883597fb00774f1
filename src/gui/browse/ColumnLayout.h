// Carries the column model to and from a replay list view: the view's model
// has one column per shown slot in id order; the display order is the
// header's visual order, read and written as an order array (the logical
// column index at each visual place).
#pragma once

#include <vector>

#include "core/settings/ColumnModel.h"

class QHeaderView;
class QTreeView;

namespace replidex {

class ReplayRowModel;

// The header's display order: logical index per visual place.
std::vector<int> HeaderOrder(const QHeaderView* header);
// Puts the header's sections into `order` (logical indices by visual place);
// indices outside the header are skipped.
void SetHeaderOrder(QHeaderView* header, const std::vector<int>& order);
// Captions and widths of the view's columns in logical order.
std::vector<ListViewColumn> ViewColumns(const QTreeView* view);

// UpdateListViewByGColumns: rebuilds the view's columns from the model
// (shown columns, widths, display order). The rows keep their texts by
// column id, so they need no refill.
void ApplyColumnModel(const ColumnModel& columns, QTreeView* view, ReplayRowModel* rows);
// UpdateByListView: takes display order and widths from the view.
void TakeColumnsFromView(ColumnModel& columns, const QTreeView* view);

}  // namespace replidex
