// "PuyoFフォルダの操作履歴": every journaled change to the game folder, newest
// first, with its steps.
#pragma once

#include <QDialog>

#include <vector>

#include "core/journal/Journal.h"

class QTableView;

namespace replidex {

class JournalHistoryModel;

class JournalHistoryDialog final : public QDialog {
    Q_OBJECT
public:
    explicit JournalHistoryDialog(std::vector<JournalEntry> entries, QWidget* parent = nullptr);

    QTableView* Table = nullptr;
    JournalHistoryModel* model = nullptr;
};

}  // namespace replidex
