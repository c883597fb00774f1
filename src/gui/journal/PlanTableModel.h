// The plan of a change to the game folder as a table: one row a step, then
// one row for each input that takes no part. Columns 操作 / PuyoFフォルダ内の名前
// / 元のファイル / 備考; a permanent delete's note is red.
#pragma once

#include <QAbstractTableModel>

#include "core/journal/JournalPlan.h"

namespace replidex {

class PlanTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnStep, ColumnName, ColumnSource, ColumnNote, ColumnCount };

    explicit PlanTableModel(OperationPlan plan, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const OperationPlan& plan() const { return plan_; }

private:
    QString text(int row, int column) const;
    OperationPlan plan_;
};

}  // namespace replidex
