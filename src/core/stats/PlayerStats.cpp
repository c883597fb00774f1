#include "core/stats/PlayerStats.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/file/ContentHash.h"
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

// One entry the statistics look at: an offline entry (side 0) or a net entry
// the subject played (its side, or kSubjectBoth).
struct Candidate {
    const ReplayEntry* entry;
    int side;
};

// The record fields one after another, without the padding between them.
std::uint64_t MatchHash(const ReplayInfo& info)
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
    return ContentHash64(std::string_view(key, n));
}

// For each net candidate, whether an earlier one has equal flags and player
// records. The candidates are hashed first, then put into an open-addressed
// table of 8-byte cells (part of the hash, the candidate's place), each cell
// fetched ahead of its turn: the table is too large for the nearest caches.
std::vector<char> RepeatedMatches(const std::vector<Candidate>& candidates)
{
    std::vector<char> repeated(candidates.size(), 0);
    std::vector<std::uint64_t> hashes(candidates.size(), 0);
    std::size_t net = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i].side) hashes[i] = MatchHash(*candidates[i].entry->info), ++net;
    if (net < 2) return repeated;

    struct Cell {
        std::uint32_t tag = 0;
        std::int32_t place = -1;
    };
    std::size_t capacity = 16;
    while (capacity < net * 2) capacity *= 2;
    std::vector<Cell> cells(capacity);
    const std::size_t mask = capacity - 1;
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
#if defined(__GNUC__) || defined(__clang__)
        if (i + kAhead < candidates.size() && candidates[i + kAhead].side)
            __builtin_prefetch(&cells[static_cast<std::size_t>(hashes[i + kAhead]) & mask], 1);
#endif
        if (!candidates[i].side) continue;
        const std::uint64_t hash = hashes[i];
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        const ReplayInfo& info = *candidates[i].entry->info;
        for (std::size_t c = static_cast<std::size_t>(hash) & mask;; c = (c + 1) & mask) {
            Cell& cell = cells[c];
            if (cell.place < 0) {
                cell = {tag, static_cast<std::int32_t>(i)};
                break;
            }
            const auto earlier = static_cast<std::size_t>(cell.place);
            if (cell.tag == tag && hashes[earlier] == hash &&
                *candidates[earlier].entry->info == info) {
                repeated[i] = 1;
                break;
            }
        }
    }
    return repeated;
}

// Later than `b` as file times go; no time (-1) is earlier than every time.
bool LaterTime(std::int32_t a, std::int32_t b)
{
    if (a == kNoFileAge) return false;
    if (b == kNoFileAge) return true;
    return static_cast<std::uint32_t>(a) > static_cast<std::uint32_t>(b);
}

// The rows of one table, found by a small key: an index per possible key
// (characters, months) or a hash of the name's bytes, which stay where they
// are in the pool while the statistics are made.
class TableBuilder {
public:
    explicit TableBuilder(std::size_t directKeys) : direct_(directKeys, -1)
    {
        if (!directKeys) byName_.reserve(1024);
    }

    template <typename MakeKey>
    StatsRow& row(std::size_t index, MakeKey&& makeKey)
    {
        std::int32_t& at = direct_[index];
        if (at < 0) at = fresh(makeKey());
        return rows_[static_cast<std::size_t>(at)];
    }
    StatsRow& row(std::string_view name)
    {
        auto [it, fresh_] = byName_.try_emplace(name, 0);
        if (fresh_) it->second = fresh(std::string(name));
        return rows_[static_cast<std::size_t>(it->second)];
    }
    std::vector<StatsRow> take() { return std::move(rows_); }

private:
    std::int32_t fresh(std::string key)
    {
        rows_.emplace_back().key = std::move(key);
        return static_cast<std::int32_t>(rows_.size() - 1);
    }

    std::vector<std::int32_t> direct_;
    std::unordered_map<std::string_view, std::int32_t> byName_;
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
    if (row.countedSlots.empty() || !LaterTime(row.last, time)) {
        row.last = time;
        row.lastRank = theirs.rank;
    }
    row.countedSlots.push_back(match.slot);
}

StatsRow& CharacterRow(TableBuilder& table, std::int16_t character)
{
    const int index = CharacterIndexOf(character);
    return table.row(static_cast<std::size_t>(index),
                     [index] { return std::string(1, static_cast<char>(index)); });
}

// Months by year (7 bits) and month (4 bits) of the packed time; 0 for no time.
constexpr std::size_t kMonthKeys = 1 + (1u << 11);

StatsRow& MonthRow(TableBuilder& table, std::int32_t fileAge)
{
    const std::size_t index =
        fileAge == kNoFileAge ? 0 : 1 + (static_cast<std::uint32_t>(fileAge) >> 21);
    return table.row(index, [fileAge] { return MonthText(fileAge); });
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
    TableBuilder byOpponent(0), byOwn(kCharacterNameCount), byTheirs(kCharacterNameCount),
        byMonth(kMonthKeys);
    std::vector<Candidate> candidates;
    candidates.reserve(scope.size());
    for (const std::int32_t slot : scope) {
        const ReplayEntry* entry = pool.lookup(slot);
        if (!Countable(entry)) continue;
        if (options.excludeMissing && EntryState(*entry) != kStateUnchanged) continue;
        if (!(entry->info->infoFlags & kInfoNetMatch)) {
            candidates.push_back({entry, 0});
            continue;
        }
        const int side = subject.sideIn(*entry->info);
        if (side != kSubjectNone) candidates.push_back({entry, side});
    }
    const std::vector<char> repeated =
        options.sameMatchOnce ? RepeatedMatches(candidates) : std::vector<char>(candidates.size(), 0);

    stats.matches.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const ReplayEntry* entry = candidates[i].entry;
        const std::int32_t slot = entry->poolIndex;
        const int side = candidates[i].side;
        const ReplayInfo& info = *entry->info;

        if (side == 0) {
            ++stats.offline;
            StatsRow& own = CharacterRow(byOwn, info.p1.character);
            StatsRow& theirs = CharacterRow(byTheirs, info.p2.character);
            ++own.offline, ++theirs.offline;
            own.countedSlots.push_back(slot), theirs.countedSlots.push_back(slot);
            continue;
        }
        if (repeated[i]) continue;
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
        CountMatch(byOpponent.row(opponent.nameText()), match, info, entry->fileAge);
        CountMatch(CharacterRow(byOwn, mine.character), match, info, entry->fileAge);
        CountMatch(CharacterRow(byTheirs, opponent.character), match, info, entry->fileAge);
        CountMatch(MonthRow(byMonth, entry->fileAge), match, info, entry->fileAge);
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
