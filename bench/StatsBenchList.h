// The list the statistics benches count: a full pool of 65,536 entries in
// the root folder, all net matches with the player "me" on one side against
// 500 opponents (random scores, characters and months), one entry in eight a
// second save of the match before it.
#pragma once

#include <random>
#include <string>

#include "core/list/ReplayDocument.h"

namespace replidex::bench {

inline void FillStatsBenchList(ReplayDocument& doc)
{
    doc.root = doc.addTopLevel("Root");
    std::mt19937_64 rng(7);
    ReplayInfo info;
    for (int i = 0; i < EntryPool::kSlotCount; ++i) {
        ReplayEntry* e = doc.pool.allocate();
        e->fileName = "REPLAY" + std::to_string(i % 100) + ".RPD";
        e->folderPath = SharedText("/home/player/replays/" + std::to_string(i / 1000) + "/");
        e->fileAge = static_cast<std::int32_t>((44u << 25) | ((1 + rng() % 12) << 21) | ((1 + rng() % 28) << 16));
        if (i % 8 != 7) {
            info = ReplayInfo{};
            info.infoFlags = kInfoNetMatch;
            const bool meFirst = rng() % 2;
            info.p1.setName(meFirst ? "me" : "rival" + std::to_string(rng() % 500));
            info.p2.setName(meFirst ? "rival" + std::to_string(rng() % 500) : "me");
            info.p1.score = static_cast<std::int16_t>(rng() % 4);
            info.p2.score = static_cast<std::int16_t>(rng() % 4);
            info.p1.character = static_cast<std::int16_t>(0x30 + rng() % 16);
            info.p2.character = static_cast<std::int16_t>(0x30 + rng() % 16);
        }
        e->info = info;
        doc.root->entryList().push_back(e->poolIndex);
    }
}

}  // namespace replidex::bench
