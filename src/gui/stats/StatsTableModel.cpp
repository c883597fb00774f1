#include "gui/stats/StatsTableModel.h"

#include <algorithm>
#include <numeric>
#include <tuple>

#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

QString Display(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

// What a column sorts by: a number, or for the key column the key's bytes.
double SortValue(const StatsRow& row, StatsTable table, int column)
{
    switch (column) {
    case kColumnMatches: return row.matches;
    case kColumnWins: return row.wins;
    case kColumnLosses: return row.losses;
    case kColumnUnknown: return row.unknown;
    case kColumnRatio: return row.wins + row.losses ? double(row.wins) / (row.wins + row.losses) : -1.0;
    case kColumnGamesWon: return row.gamesWon;
    case kColumnGamesLost: return row.gamesLost;
    case kColumnLast:   // also kColumnOffline
        if (table != StatsTable::Opponent) return row.offline;
        return row.last == -1 ? -1.0 : static_cast<double>(static_cast<std::uint32_t>(row.last));
    case kColumnLastRank: return row.lastRank;
    default: return 0;
    }
}

}  // namespace

void StatsTableModel::setTable(const PlayerStats* stats, StatsTable table)
{
    beginResetModel();
    stats_ = stats;
    table_ = table;
    titles_ = StatsColumnTitles(table);
    order_.resize(rows() ? rows()->size() : 0);
    std::iota(order_.begin(), order_.end(), 0);
    endResetModel();
}

const std::vector<StatsRow>* StatsTableModel::rows() const
{
    return stats_ ? &stats_->table(table_) : nullptr;
}

const StatsRow* StatsTableModel::rowAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(order_.size())) return nullptr;
    return &(*rows())[static_cast<std::size_t>(order_[static_cast<std::size_t>(row)])];
}

int StatsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int StatsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant StatsTableModel::data(const QModelIndex& index, int role) const
{
    const StatsRow* row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return Display(StatsCellText(*row, table_, index.column()));
    if (role == Qt::TextAlignmentRole && index.column() != kColumnKey)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant StatsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= static_cast<int>(titles_.size())) return {};
    return Display(titles_[static_cast<std::size_t>(section)]);
}

void StatsTableModel::sort(int column, Qt::SortOrder order)
{
    if (!rows() || column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> previous = order_;
    const auto& all = *rows();
    const auto less = [&](int a, int b) {
        const StatsRow& x = all[static_cast<std::size_t>(a)];
        const StatsRow& y = all[static_cast<std::size_t>(b)];
        if (column == kColumnKey) return x.key < y.key;
        return SortValue(x, table_, column) < SortValue(y, table_, column);
    };
    // Ties keep the core's order, so that equal rows stay put.
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        return order == Qt::AscendingOrder ? less(a, b) : less(b, a);
    });
    std::vector<int> shownAt(order_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) shownAt[static_cast<std::size_t>(order_[i])] = static_cast<int>(i);
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(shownAt[static_cast<std::size_t>(previous[static_cast<std::size_t>(index.row())])],
                                 index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace replidex
