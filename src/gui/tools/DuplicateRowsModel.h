// The groups of duplicate entries as a table, one row per entry: group,
// list folder, path, file state, memo.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/list/Duplicates.h"

namespace replidex {

struct DuplicateRow {
    int group = 0;              // 1-based
    DuplicateKind kind = DuplicateKind::Path;
    ReplayEntry* entry = nullptr;
    ReplayFolder* folder = nullptr;   // the list folder that lists it
    QString folderText;
};

class DuplicateRowsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColGroup, ColFolder, ColPath, ColState, ColMemo, ColumnCount };

    explicit DuplicateRowsModel(QObject* parent = nullptr);
    // The rows of `groups` over `doc`'s folders.
    void setGroups(const ReplayDocument& doc, const std::vector<DuplicateGroup>& groups);
    const DuplicateRow& rowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // Drops the rows of the given entries.
    void removeEntries(const std::vector<ReplayEntry*>& entries);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<DuplicateRow> rows_;
};

}  // namespace replidex
