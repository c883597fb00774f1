// The row commands of the search result list: which of them the selection
// allows, exchanging two rows and the four moves. Moves reorder the shown rows
// only; the folders' entry lists and the pool stay as they are.
#pragma once

#include <vector>

#include "core/search/ResultCommands.h"

class QTreeView;

namespace replidex {

class ReplayRowModel;

class ResultListCommands {
public:
    ResultListCommands(QTreeView* list, ReplayRowModel* rows) : list_(list), rows_(rows) {}

    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    ResultEnabling Enabling() const;

    // Exchanges rows i and j (everything they show) when both exist, differ
    // and are of the same kind; answers whether it did.
    bool ExchangeRows(int i, int j);
    // Move the first selected row one step, or as far as it goes; the moved
    // row stays the only selected one and is scrolled into view.
    void MoveUp();
    void MoveDown();
    void MoveTop();
    void MoveBottom();

private:
    // Exchanges the row step by step towards `limit`.
    void MoveTo(int row, int limit);
    void SelectOnly(int row);

    QTreeView* list_;
    ReplayRowModel* rows_;
};

}  // namespace replidex
