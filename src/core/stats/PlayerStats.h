// Statistics of one player over a scope of the replay list: every counted net
// match with its result, and the tables by opponent, by the player's own
// character, by the opponent's character and by month. Read from the facts in
// memory; no replay file is read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/replay/ReplayRecords.h"
#include "core/stats/MatchResult.h"
#include "core/stats/StatsSubject.h"

namespace replidex {

struct StatsOptions {
    // Net entries whose flags and both player records are equal count once
    // (both players' saves, copies, one file listed twice).
    bool sameMatchOnce = true;
    // Leave out entries whose file is missing or changed now.
    bool excludeMissing = false;
};

// The entries of a folder's subtree (the folder, its sub-folders and theirs)
// that carry a valid info, as unique slots in slot order; nothing for no folder.
std::vector<std::int32_t> FolderScopeSlots(const EntryPool& pool, const ReplayFolder* folder);
// The same for a list of slots (the hits of a search).
std::vector<std::int32_t> SlotScope(const EntryPool& pool, std::span<const std::int32_t> hits);

// One net match the subject played.
struct CountedMatch {
    std::int32_t slot = -1;   // the first of its entries in slot order
    int side = 1;             // the subject's side, 1 or 2
    MatchOutcome outcome = MatchOutcome::Unknown;
};

// One row of a table. `key` is the opponent's name (Shift-JIS), the character
// index as one byte (0-16), or the month "YYYY-MM" (empty: no file time).
struct StatsRow {
    std::string key;
    int matches = 0;
    int wins = 0;
    int losses = 0;
    int unknown = 0;
    int gamesWon = 0;
    int gamesLost = 0;
    int offline = 0;                       // offline entries (character tables)
    std::int32_t last = -1;                // latest file time of its matches, -1 none
    std::int16_t lastRank = 0;             // the opponent's rank in that match
    std::vector<std::int32_t> countedSlots;   // what the row counted, in slot order
};

enum class StatsTable { Opponent, OwnCharacter, OpponentCharacter, Month };
inline constexpr int kStatsTableCount = 4;

struct PlayerStats {
    std::vector<CountedMatch> matches;     // in slot order
    std::vector<StatsRow> tables[kStatsTableCount];
    int wins = 0;
    int losses = 0;
    int unknown = 0;
    int excluded = 0;                      // net matches of namesakes on both sides
    int offline = 0;                       // offline entries counted by character

    const std::vector<StatsRow>& table(StatsTable t) const { return tables[static_cast<int>(t)]; }
};

// The statistics of `subject` over the entries at `scope` (slots in slot
// order, as the two functions above give them). Rows: by opponent, matches
// descending then name bytes; by character, matches and offline entries
// descending then character index; by month, oldest first, no time last.
// Offline entries count only in the character tables: 1P's character under
// the player's own, 2P's under the opponent's.
PlayerStats ComputePlayerStats(const EntryPool& pool, std::span<const std::int32_t> scope,
                               const StatsSubject& subject, const StatsOptions& options);

// The handle names of the net entries at `scope`, the most frequent first
// (ties by name bytes), at most `limit`.
std::vector<std::string> CommonestNames(const EntryPool& pool, std::span<const std::int32_t> scope,
                                        std::size_t limit);

// A packed file time as "YYYY-MM-DDTHH:MM:SS"; empty for -1.
std::string IsoTimeText(std::int32_t fileAge);
// Its month "YYYY-MM"; empty for -1.
std::string MonthText(std::int32_t fileAge);

}  // namespace replidex
