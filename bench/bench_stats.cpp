// A player's statistics over a full pool of 65,536 net entries (the player on
// one side of each, 500 opponents, one entry in eight a second save of the
// match before it): the four tables, then the CSV of every counted match.
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchUtil.h"
#include "bench/StatsBenchList.h"
#include "core/list/ReplayDocument.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/PlayerStats.h"
#include "core/stats/StatsTableText.h"

using namespace replidex;

int main()
{
    auto doc = std::make_unique<ReplayDocument>();
    bench::FillStatsBenchList(*doc);
    const StatsSubject subject({"me"});
    std::vector<std::int32_t> scope;
    PlayerStats stats;
    const double scopeMs = bench::MedianMs(7, [&] { scope = FolderScopeSlots(doc->pool, doc->root); });
    const double statsMs = bench::MedianMs(7, [&] { stats = ComputePlayerStats(doc->pool, scope, subject, {}); });
    PlayerStats eachFile;
    const double eachMs = bench::MedianMs(7, [&] {
        eachFile = ComputePlayerStats(doc->pool, scope, subject, {false, false});
    });
    std::size_t bytes = 0;
    const double csvMs = bench::MedianMs(5, [&] {
        bytes = CsvText(MatchListRows(doc->pool, stats), CsvEncoding::Utf8WithBom).size();
    });
    // Each file counted: every entry is a match row of its own.
    std::size_t eachBytes = 0;
    const double eachCsvMs = bench::MedianMs(5, [&] {
        eachBytes = CsvText(MatchListRows(doc->pool, eachFile), CsvEncoding::Utf8WithBom).size();
    });
    std::size_t sjisBytes = 0;
    const double sjisCsvMs = bench::MedianMs(5, [&] {
        sjisBytes = CsvText(MatchListRows(doc->pool, eachFile), CsvEncoding::ShiftJis).size();
    });
    std::printf("entries %zu, matches %zu, opponents %zu\n", scope.size(), stats.matches.size(),
                stats.table(StatsTable::Opponent).size());
    std::printf("scope of the root folder: %.2f ms\n", scopeMs);
    std::printf("statistics, same match once: %.2f ms\n", statsMs);
    std::printf("statistics, each file: %.2f ms\n", eachMs);
    std::printf("CSV of %zu match rows (UTF-8): %.2f ms, %zu bytes\n", stats.matches.size(), csvMs, bytes);
    std::printf("CSV of %zu match rows (UTF-8, each file): %.2f ms, %zu bytes\n", eachFile.matches.size(), eachCsvMs,
                eachBytes);
    std::printf("CSV of %zu match rows (Shift_JIS, each file): %.2f ms, %zu bytes\n", eachFile.matches.size(),
                sjisCsvMs, sjisBytes);
    return 0;
}
