#include "core/stats/PlayerStats.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <map>
#include <unordered_map>
#include <utility>

#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"

namespace replidex {

namespace {

bool Countable(const ReplayEntry* entry)
{
    return entry && entry->info && !entry->info->failed();
}

std::vector<std::int32_t> SortedUnique(std::vector<std::int32_t> slots)
{
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    return slots;
}

// The net matches seen so far, by a hash of their flags and both player
// records; equal hashes are told apart by comparing the records themselves.
class SeenMatches {
public:
    explicit SeenMatches(std::size_t expected) { seen_.reserve(expected); }
    // True when an equal match was seen before; otherwise remembers this one.
    bool seenBefore(const ReplayInfo& info)
    {
        char key[4 + 2 * (PlayerRecord::kNameSize + 11)];
        std::size_t n = 0;
        const auto put = [&key, &n](const void* data, std::size_t size) {
            std::memcpy(key + n, data, size);
            n += size;
        };
        put(&info.infoFlags, sizeof info.infoFlags);
        for (const PlayerRecord* p : {&info.p1, &info.p2}) {
            put(p->name.data(), p->name.size());
            for (const std::int16_t value : {p->score, p->rank, p->wins, p->losses, p->character})
                put(&value, sizeof value);
            put(&p->isCom, sizeof p->isCom);
        }
        const std::size_t hash = std::hash<std::string_view>{}(std::string_view(key, n));
        const auto [from, to] = seen_.equal_range(hash);
        for (auto it = from; it != to; ++it)
            if (*it->second == info) return true;
        seen_.emplace(hash, &info);
        return false;
    }

private:
    std::unordered_multimap<std::size_t, const ReplayInfo*> seen_;
};

// Later than `b` as file times go; no time (-1) is earlier than every time.
bool LaterTime(std::int32_t a, std::int32_t b)
{
    if (a == kNoFileAge) return false;
    if (b == kNoFileAge) return true;
    return static_cast<std::uint32_t>(a) > static_cast<std::uint32_t>(b);
}

class TableBuilder {
public:
    StatsRow& row(const std::string& key)
    {
        auto [it, fresh] = index_.try_emplace(key, rows_.size());
        if (fresh) {
            rows_.emplace_back();
            rows_.back().key = key;
        }
        return rows_[it->second];
    }
    std::vector<StatsRow> take() { return std::move(rows_); }

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<StatsRow> rows_;
};

void CountMatch(StatsRow& row, const CountedMatch& match, const ReplayInfo& info, std::int32_t time)
{
    const PlayerRecord& mine = info.player(match.side);
    const PlayerRecord& theirs = info.player(match.side == 1 ? 2 : 1);
    ++row.matches;
    if (match.outcome == MatchOutcome::Win) ++row.wins;
    else if (match.outcome == MatchOutcome::Loss) ++row.losses;
    else ++row.unknown;
    row.gamesWon += mine.score;
    row.gamesLost += theirs.score;
    // Slots come in ascending order, so on equal times the later slot wins.
    if (row.slots.empty() || !LaterTime(row.last, time)) {
        row.last = time;
        row.lastRank = theirs.rank;
    }
    row.slots.push_back(match.slot);
}

std::string CharacterKey(std::int16_t character)
{
    return std::string(1, static_cast<char>(CharacterIndexOf(character)));
}

void SortByMatches(std::vector<StatsRow>& rows)
{
    std::sort(rows.begin(), rows.end(), [](const StatsRow& a, const StatsRow& b) {
        if (a.matches + a.offline != b.matches + b.offline)
            return a.matches + a.offline > b.matches + b.offline;
        return a.key < b.key;   // byte order: std::string compares as unsigned char
    });
}

}  // namespace

std::vector<std::int32_t> FolderScopeSlots(const EntryPool& pool, const ReplayFolder* folder)
{
    std::vector<std::int32_t> slots;
    if (!folder) return slots;
    std::vector<const ReplayFolder*> stack{folder};
    while (!stack.empty()) {
        const ReplayFolder* f = stack.back();
        stack.pop_back();
        for (const auto& child : f->children)
            if (child) stack.push_back(child.get());
        if (!f->entries) continue;
        for (const std::int32_t index : *f->entries)
            if (Countable(pool.lookup(index))) slots.push_back(index);
    }
    return SortedUnique(std::move(slots));
}

std::vector<std::int32_t> SlotScope(const EntryPool& pool, std::span<const std::int32_t> slots)
{
    std::vector<std::int32_t> kept;
    kept.reserve(slots.size());
    for (const std::int32_t slot : slots)
        if (Countable(pool.lookup(slot))) kept.push_back(slot);
    return SortedUnique(std::move(kept));
}

PlayerStats ComputePlayerStats(const EntryPool& pool, std::span<const std::int32_t> scope,
                               const StatsSubject& subject, const StatsOptions& options)
{
    PlayerStats stats;
    TableBuilder byOpponent, byOwn, byTheirs, byMonth;
    SeenMatches seen(options.sameMatchOnce ? scope.size() : 0);
    for (const std::int32_t slot : scope) {
        const ReplayEntry* entry = pool.lookup(slot);
        if (!Countable(entry)) continue;
        if (options.excludeMissing && EntryState(*entry) != kStateUnchanged) continue;
        const ReplayInfo& info = *entry->info;

        if (!(info.infoFlags & kInfoNetMatch)) {
            ++stats.offline;
            StatsRow& own = byOwn.row(CharacterKey(info.p1.character));
            StatsRow& theirs = byTheirs.row(CharacterKey(info.p2.character));
            ++own.offline, ++theirs.offline;
            own.slots.push_back(slot), theirs.slots.push_back(slot);
            continue;
        }
        const int side = subject.sideIn(info);
        if (side == kSubjectNone) continue;
        if (options.sameMatchOnce && seen.seenBefore(info)) continue;
        if (side == kSubjectBoth) {
            ++stats.excluded;
            continue;
        }
        const CountedMatch match{slot, side, MatchResult(info, side)};
        stats.matches.push_back(match);
        if (match.outcome == MatchOutcome::Win) ++stats.wins;
        else if (match.outcome == MatchOutcome::Loss) ++stats.losses;
        else ++stats.unknown;

        const PlayerRecord& mine = info.player(side);
        const PlayerRecord& opponent = info.player(side == 1 ? 2 : 1);
        CountMatch(byOpponent.row(std::string(opponent.nameText())), match, info, entry->fileAge);
        CountMatch(byOwn.row(CharacterKey(mine.character)), match, info, entry->fileAge);
        CountMatch(byTheirs.row(CharacterKey(opponent.character)), match, info, entry->fileAge);
        CountMatch(byMonth.row(MonthText(entry->fileAge)), match, info, entry->fileAge);
    }

    auto& opponents = stats.tables[static_cast<int>(StatsTable::Opponent)];
    auto& own = stats.tables[static_cast<int>(StatsTable::OwnCharacter)];
    auto& theirs = stats.tables[static_cast<int>(StatsTable::OpponentCharacter)];
    auto& months = stats.tables[static_cast<int>(StatsTable::Month)];
    opponents = byOpponent.take();
    own = byOwn.take();
    theirs = byTheirs.take();
    months = byMonth.take();
    SortByMatches(opponents);
    SortByMatches(own);
    SortByMatches(theirs);
    std::sort(months.begin(), months.end(), [](const StatsRow& a, const StatsRow& b) {
        if (a.key.empty() != b.key.empty()) return b.key.empty();
        return a.key < b.key;
    });
    return stats;
}

std::vector<std::string> CommonestNames(const EntryPool& pool, std::span<const std::int32_t> scope,
                                        std::size_t limit)
{
    std::unordered_map<std::string, int> counts;
    for (const std::int32_t slot : scope) {
        const ReplayEntry* entry = pool.lookup(slot);
        if (!Countable(entry) || !(entry->info->infoFlags & kInfoNetMatch)) continue;
        for (const PlayerRecord* p : {&entry->info->p1, &entry->info->p2})
            if (!p->nameText().empty()) ++counts[std::string(p->nameText())];
    }
    std::vector<std::pair<std::string, int>> sorted(counts.begin(), counts.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < sorted.size() && i < limit; ++i) names.push_back(sorted[i].first);
    return names;
}

std::string IsoTimeText(std::int32_t fileAge)
{
    if (fileAge == kNoFileAge) return {};
    const auto v = static_cast<std::uint32_t>(fileAge);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", (v >> 25) + 1980u,
                  (v >> 21) & 0x0Fu, (v >> 16) & 0x1Fu, (v >> 11) & 0x1Fu, (v >> 5) & 0x3Fu,
                  (v & 0x1Fu) * 2u);
    return text;
}

std::string MonthText(std::int32_t fileAge)
{
    if (fileAge == kNoFileAge) return {};
    const auto v = static_cast<std::uint32_t>(fileAge);
    const unsigned year = (v >> 25) + 1980u, month = (v >> 21) & 0x0Fu;
    return {static_cast<char>('0' + year / 1000), static_cast<char>('0' + year / 100 % 10),
            static_cast<char>('0' + year / 10 % 10), static_cast<char>('0' + year % 10), '-',
            static_cast<char>('0' + month / 10), static_cast<char>('0' + month % 10)};
}

}  // namespace replidex
