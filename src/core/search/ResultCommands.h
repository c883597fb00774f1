// Which commands the selection of the search results allows. A result row
// stands for one hit entry: its image (3 x match kind + file state) and its
// pool index.
#pragma once

#include <cstdint>
#include <vector>

namespace replidex {

struct ResultRowFacts {
    int row = -1;                // position in the result list
    int icon = -1;               // image index; -1 for none
    std::int32_t poolIndex = -1;
};

struct ResultEnabling {
    bool memo = false;
    bool sendRenamed = false;
    bool moveUp = false;     // and move to top
    bool moveDown = false;   // and move to bottom

    bool operator==(const ResultEnabling&) const = default;
};

// Whether a result row's file may be copied to the game folder: an analysed
// entry (image 0-8) whose file is there unchanged (state 0).
bool IsSendableResult(const ResultRowFacts& row);

// The enabling for the selected rows of a result list of `rowCount` rows:
// one selected row allows the memo and, unless it is first (last), moving it
// up (down); the renamed copy needs one sendable row among the selected, with
// a pool index when it is the only one.
ResultEnabling EnableResultCommands(const std::vector<ResultRowFacts>& selected, int rowCount);

}  // namespace replidex
