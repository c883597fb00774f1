// The journal of the changes to the game folder as a table, newest operation
// first, one row a step: when, which operation, what the step did, the name
// in the game folder, the file it came from, and how it stands now.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/journal/Journal.h"

namespace replidex {

class JournalHistoryModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnTime, ColumnOperation, ColumnStep, ColumnName, ColumnSource, ColumnState, ColumnCount };

    explicit JournalHistoryModel(std::vector<JournalEntry> entries, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::size_t entry = 0;
        int step = -1;   // -1: an operation without steps
    };
    QString text(const Row& row, int column) const;

    std::vector<JournalEntry> entries_;
    std::vector<Row> rows_;
};

// "2026/12/08 19:04:05": an entry's ISO 8601 time in local time.
QString LocalTimeText(const std::string& isoTime);

}  // namespace replidex
