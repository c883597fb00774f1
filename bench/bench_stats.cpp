// A player's statistics over a full pool of 65,536 net entries (the player on
// one side of each, 500 opponents, one entry in eight a second save of the
// match before it): the four tables, then the CSV of every counted match.
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "bench/BenchUtil.h"
#include "core/list/ReplayDocument.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/PlayerStats.h"
#include "core/stats/StatsTableText.h"

using namespace replidex;

int main()
{
    auto doc = std::make_unique<ReplayDocument>();
    doc->root = doc->addTopLevel("Root");
    std::mt19937_64 rng(7);
    ReplayInfo info;
    for (int i = 0; i < EntryPool::kSlotCount; ++i) {
        ReplayEntry* e = doc->pool.allocate();
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
        doc->root->entryList().push_back(e->poolIndex);
    }
    const StatsSubject subject({"me"});
    std::vector<std::int32_t> scope;
    PlayerStats stats;
    const double scopeMs = bench::MedianMs(7, [&] { scope = FolderScopeSlots(doc->pool, doc->root); });
    const double statsMs = bench::MedianMs(7, [&] { stats = ComputePlayerStats(doc->pool, scope, subject, {}); });
    const double eachMs = bench::MedianMs(7, [&] {
        ComputePlayerStats(doc->pool, scope, subject, {false, false});
    });
    std::size_t bytes = 0;
    const double csvMs = bench::MedianMs(5, [&] {
        bytes = CsvText(MatchListRows(doc->pool, stats), CsvEncoding::Utf8WithBom).size();
    });
    std::printf("entries %zu, matches %zu, opponents %zu\n", scope.size(), stats.matches.size(),
                stats.table(StatsTable::Opponent).size());
    std::printf("scope of the root folder: %.2f ms\n", scopeMs);
    std::printf("statistics, same match once: %.2f ms\n", statsMs);
    std::printf("statistics, each file: %.2f ms\n", eachMs);
    std::printf("CSV of %zu match rows (UTF-8): %.2f ms, %zu bytes\n", stats.matches.size(), csvMs, bytes);
    return 0;
}
