#include "core/stats/MatchResult.h"

namespace replidex {

MatchOutcome MatchResult(const ReplayInfo& info, int side)
{
    if (info.failed() || !(info.infoFlags & kInfoNetMatch)) return MatchOutcome::Unknown;
    const int mine = info.player(side).score;
    const int theirs = info.player(side == 2 ? 1 : 2).score;
    if (mine > theirs) return MatchOutcome::Win;
    if (mine < theirs) return MatchOutcome::Loss;
    return MatchOutcome::Unknown;
}

}  // namespace replidex
