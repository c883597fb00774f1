// Replay info for bench lists: varied names, ranks, counts and characters.
#pragma once

#include <string>

#include "core/replay/ReplayRecords.h"
#include "core/text/SjisCodec.h"

namespace replidex::bench {

// A net match's info that differs a little from entry to entry.
inline void FillInfo(ReplayInfo& info, int i)
{
    info.infoFlags = kInfoNetMatch | kInfoRuleF | kInfoNetW;
    info.p1.setName(Sjis("ぷよプレイヤー") + std::to_string(i % 1000));
    info.p2.setName("Player" + std::to_string(i % 777));
    info.p1.rank = static_cast<std::int16_t>(i % 19);
    info.p2.rank = static_cast<std::int16_t>((i * 7) % 19);
    info.p1.wins = static_cast<std::int16_t>(i % 3000);
    info.p1.losses = static_cast<std::int16_t>(i % 2000);
    info.p2.wins = static_cast<std::int16_t>(i % 2500);
    info.p2.losses = static_cast<std::int16_t>(i % 1500);
    info.p1.character = static_cast<std::int16_t>(0x30 + i % 16);
    info.p2.character = static_cast<std::int16_t>(0x40 + i % 16);
    info.p1.score = 2;
}

}  // namespace replidex::bench
