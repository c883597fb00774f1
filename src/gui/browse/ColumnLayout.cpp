#include "gui/browse/ColumnLayout.h"

#include <QHeaderView>
#include <QTreeView>

#include "gui/browse/ReplayRowModel.h"

namespace replidex {

std::vector<int> HeaderOrder(const QHeaderView* header)
{
    std::vector<int> order;
    if (!header) return order;
    for (int visual = 0; visual < header->count(); ++visual)
        order.push_back(header->logicalIndex(visual));
    return order;
}

void SetHeaderOrder(QHeaderView* header, const std::vector<int>& order)
{
    if (!header) return;
    int visual = 0;
    for (const int logical : order) {
        if (logical < 0 || logical >= header->count()) continue;
        const int from = header->visualIndex(logical);
        if (from != visual) header->moveSection(from, visual);
        ++visual;
    }
}

std::vector<ListViewColumn> ViewColumns(const QTreeView* view)
{
    std::vector<ListViewColumn> columns;
    if (!view || !view->model()) return columns;
    const QAbstractItemModel* model = view->model();
    for (int column = 0; column < model->columnCount(); ++column)
        columns.push_back({model->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                               .toString()
                               .toStdString(),
                           view->header()->sectionSize(column)});
    return columns;
}

void ApplyColumnModel(const ColumnModel& columns, QTreeView* view, ReplayRowModel* rows)
{
    if (!view || !rows) return;
    std::array<bool, kColumnCount> shown{};
    for (int id = 0; id < kColumnCount; ++id) shown[static_cast<std::size_t>(id)] = columns.Slot(id)->shown;
    rows->setShownColumns(shown);

    const ListViewLayout layout = columns.UpdateListViewByGColumns();
    QHeaderView* header = view->header();
    // Start from creation order, then place the sections.
    for (int logical = 0; logical < header->count(); ++logical)
        if (header->visualIndex(logical) != logical) header->moveSection(header->visualIndex(logical), logical);
    for (std::size_t column = 0; column < layout.columns.size(); ++column)
        header->resizeSection(static_cast<int>(column), layout.columns[column].width);
    SetHeaderOrder(header, layout.order);
}

void TakeColumnsFromView(ColumnModel& columns, const QTreeView* view)
{
    if (!view) return;
    columns.UpdateByListView(HeaderOrder(view->header()), ViewColumns(view));
}

}  // namespace replidex
