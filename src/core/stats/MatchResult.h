// Who won a net match, seen from one side: the one rule the statistics and
// the typed queries share.
#pragma once

#include "core/replay/ReplayRecords.h"

namespace replidex {

enum class MatchOutcome { Win, Loss, Unknown };

// Win when `side`'s (1 or 2) net score is higher than the other side's, loss
// when lower, unknown when they are equal. The scores are compared as read,
// whatever reading of the file's score bytes gave them. Anything but a valid
// net match is unknown.
MatchOutcome MatchResult(const ReplayInfo& info, int side);

}  // namespace replidex
