// The rows of the settings dialog's column list: one per column in display
// order, its name as caption ("項目") and a check mark for shown. A list
// model over plain rows; the editing rules are the core's (ColumnListRules).
#pragma once

#include <QAbstractListModel>

#include <vector>

#include "core/settings/ColumnModel.h"

namespace replidex {

class ColumnListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only the check mark can be set.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void setRows(std::vector<ColumnConfigRow> rows);
    const std::vector<ColumnConfigRow>& rows() const { return rows_; }
    void setChecked(int row, bool checked);
    // Trades the contents of two rows (caption and check mark).
    void exchangeRows(int a, int b);

private:
    std::vector<ColumnConfigRow> rows_;
};

}  // namespace replidex
