// The archive plan as a table: one row per slot file of the game folder with
// its slot file, date, players, score, archive name and state.
#pragma once

#include <QAbstractTableModel>

#include "core/archive/ArchivePlan.h"

namespace replidex {

class ArchivePlanModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Slot, Date, Player1, Player2, Score, Name, State, ColumnCount };

    explicit ArchivePlanModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setPlan(ArchivePlan plan);
    const ArchivePlan& plan() const { return plan_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // 「取り込む」, 「取り込み済み」 or 「失敗」.
    static QString StateText(ArchiveState state);

private:
    QString cellText(const PlannedSlot& slot, int column) const;
    ArchivePlan plan_;
};

}  // namespace replidex
