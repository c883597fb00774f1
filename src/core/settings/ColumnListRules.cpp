#include "core/settings/ColumnListRules.h"

namespace replidex {

int FileRowToTick(const std::vector<ColumnConfigRow>& rows)
{
    const std::string_view file = ColumnModel::kNames[ColumnModel::kFile];
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (rows[row].caption == file) return rows[row].checked ? -1 : static_cast<int>(row);
    return -1;
}

MoveButtons MoveButtonsFor(int selectedRow, int rowCount)
{
    if (selectedRow < 0 || selectedRow >= rowCount) return {false, false};
    if (selectedRow == 0) return {false, true};
    if (selectedRow == rowCount - 1) return {true, false};
    return {true, true};
}

int ExchangeTarget(int row, int step, int rowCount)
{
    if (row < 0 || row >= rowCount || (step != -1 && step != 1)) return -1;
    const int target = row + step;
    return target >= 0 && target < rowCount ? target : -1;
}

}  // namespace replidex
