#include "core/search/ResultCommands.h"

namespace replidex {

namespace {
constexpr int kFirstNonEntryIcon = 9;   // 9 analysis failed, 10 and 11 folders
}

bool IsSendableResult(const ResultRowFacts& row)
{
    return row.icon >= 0 && row.icon < kFirstNonEntryIcon && row.icon % 3 == 0;
}

ResultEnabling EnableResultCommands(const std::vector<ResultRowFacts>& selected, int rowCount)
{
    ResultEnabling on;
    if (selected.empty()) return on;
    if (selected.size() > 1) {
        for (const ResultRowFacts& row : selected)
            if (IsSendableResult(row)) on.sendRenamed = true;
        return on;
    }
    const ResultRowFacts& only = selected.front();
    on.memo = true;
    on.sendRenamed = IsSendableResult(only) && only.poolIndex >= 0;
    on.moveUp = only.row > 0;
    on.moveDown = only.row >= 0 && only.row < rowCount - 1;
    return on;
}

}  // namespace replidex
