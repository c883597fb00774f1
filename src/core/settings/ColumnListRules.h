// The editing rules of the settings dialog's column list: one row per column
// in display order, each with a check mark saying whether the column is shown
// (ColumnConfigRow). The dialog is a window over these answers.
#pragma once

#include <vector>

#include "core/settings/ColumnModel.h"

namespace replidex {

// The row that must be ticked again after a click: the row of "File" when it
// is unticked ("File" can never be hidden); -1 when none must be.
int FileRowToTick(const std::vector<ColumnConfigRow>& rows);

// Which of the up and down buttons may be used with `selectedRow` selected
// (-1 for none) in a list of `rowCount` rows: none without a selection; only
// down for the first row; only up for the last row (that is not also the
// first); both otherwise.
struct MoveButtons {
    bool up = false;
    bool down = false;

    bool operator==(const MoveButtons&) const = default;
};
MoveButtons MoveButtonsFor(int selectedRow, int rowCount);

// The row that `row` trades places with when it moves one step up (`step`
// -1) or down (+1); -1 when there is no selected row or it is already at
// that end.
int ExchangeTarget(int row, int step, int rowCount);

}  // namespace replidex
