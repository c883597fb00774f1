// One table of a player's statistics as an item model: the rows of the core's
// table with the columns of its titles, sortable by any column (counts and
// ratios as numbers, names by their bytes, times as times).
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/stats/PlayerStats.h"

namespace replidex {

class StatsTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StatsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows `table` of `stats` (kept by the caller while shown) in its own order.
    void setTable(const PlayerStats* stats, StatsTable table);
    StatsTable table() const { return table_; }
    // The core row shown at `row`; nullptr outside.
    const StatsRow* rowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    const std::vector<StatsRow>* rows() const;

    const PlayerStats* stats_ = nullptr;
    StatsTable table_ = StatsTable::Opponent;
    std::vector<int> order_;   // shown row -> index in the core table
    std::vector<std::string> titles_;
};

}  // namespace replidex
