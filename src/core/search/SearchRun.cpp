#include "core/search/SearchRun.h"

#include <utility>

#include "core/search/SearchMatch.h"
#include "core/text/SjisCodec.h"

namespace replidex {

SearchRefusal CheckSearchCriteria(const SearchCriteria& c)
{
    if (!c.useHandleName && !c.useRank && !c.useRatio && !c.useCharacter && !c.useMemo)
        return SearchRefusal::NoCriterion;
    // Offline matches carry no handle name, rank or ratio to test.
    if (!c.net && c.offline && !c.useCharacter && !c.useMemo) return SearchRefusal::NoCriterion;
    if (!c.player1 && !c.player2) return SearchRefusal::NoPlayer;
    if (!c.net && !c.offline) return SearchRefusal::NoMatchKind;
    return SearchRefusal::None;
}

std::string SearchRefusalText(SearchRefusal refusal)
{
    switch (refusal) {
    case SearchRefusal::None: return {};
    case SearchRefusal::NoCriterion: return Sjis("検索条件が設定されていません。");
    case SearchRefusal::NoPlayer: return Sjis("1Pと2P両方共チェックされていません。");
    case SearchRefusal::NoMatchKind: return Sjis("NetとOffLine両方共チェックされていません。");
    }
    return {};
}

std::string SearchRefusalText(const SearchCriteria& criteria)
{
    return SearchRefusalText(CheckSearchCriteria(criteria));
}

namespace {

// Marks one listed entry when it may be searched; answers whether it became
// marked now.
bool MarkEntry(ReplayEntry* entry, bool skipMissingOrChanged)
{
    if (!entry || (entry->searchMark & kMarkInScope)) return false;
    if (!entry->info || entry->info->failed()) return false;
    if (skipMissingOrChanged && EntryState(*entry) != kStateUnchanged) return false;
    entry->searchMark |= kMarkInScope;
    return true;
}

}  // namespace

int MarkScope(EntryPool& pool, const ReplayFolder* scope, bool skipMissingOrChanged)
{
    if (!scope) return 0;
    pool.clearSearchMarks();
    int marked = 0;
    // Depth first, a folder's sub-folders before its own entries. An explicit
    // stack keeps a very deep tree from exhausting the call stack.
    std::vector<std::pair<const ReplayFolder*, std::size_t>> stack;
    stack.emplace_back(scope, 0);
    while (!stack.empty()) {
        auto& [folder, next] = stack.back();
        if (next < folder->children.size()) {
            const ReplayFolder* child = folder->children[next++].get();
            if (child) stack.emplace_back(child, 0);
            continue;
        }
        if (folder->entries) {
            for (const std::int32_t index : *folder->entries)
                if (MarkEntry(pool.lookup(index), skipMissingOrChanged)) ++marked;
        }
        stack.pop_back();
    }
    return marked;
}

namespace {

// The walk shared by both runs: clears the hit mark of every entry in scope,
// then marks the matching ones in slot order. `afterHit` runs after each hit
// and `afterStride` after every kSearchPollStride slots; either stops the
// walk by answering true.
template <typename Test, typename AfterHit, typename AfterStride>
SearchRunResult WalkHits(EntryPool& pool, const Test& test, AfterHit afterHit,
                         AfterStride afterStride)
{
    SearchRunResult result;
    pool.forEach([](ReplayEntry& e) {
        if (e.searchMark & kMarkInScope) e.searchMark &= ~static_cast<std::uint32_t>(kMarkHit);
    });
    for (int slot = 0; slot < EntryPool::kSlotCount; ++slot) {
        ReplayEntry* e = pool.lookup(slot);
        if (e && (e->searchMark & kMarkInScope) && test(*e)) {
            e->searchMark |= kMarkHit;
            ++result.hitCount;
            if (afterHit(slot)) {
                result.aborted = true;
                break;
            }
        }
        if ((slot + 1) % kSearchPollStride == 0 && afterStride()) {
            result.aborted = true;
            break;
        }
    }
    return result;
}

}  // namespace

SearchRunResult RunHitSearch(EntryPool& pool, const SearchCriteria& criteria,
                             std::vector<std::int32_t>* hits,
                             const std::function<bool()>& afterHit)
{
    const SearchMatcher matcher(criteria);
    return RunHitSearchWith(
        pool, [&](const ReplayEntry& e) { return matcher.MatchEntry(e); }, hits, afterHit);
}

SearchRunResult RunHitSearchWith(EntryPool& pool, const EntryTest& test,
                                 std::vector<std::int32_t>* hits,
                                 const std::function<bool()>& afterHit)
{
    return WalkHits(
        pool, test,
        [&](int slot) {
            if (hits) hits->push_back(slot);
            return afterHit && afterHit();
        },
        [] { return false; });
}

SearchRunResult RunPacedHitSearch(EntryPool& pool, const SearchCriteria& criteria,
                                  const SearchPacing& pacing)
{
    const SearchMatcher matcher(criteria);
    return RunPacedHitSearchWith(
        pool, [&](const ReplayEntry& e) { return matcher.MatchEntry(e); }, pacing);
}

SearchRunResult RunPacedHitSearchWith(EntryPool& pool, const EntryTest& test,
                                      const SearchPacing& pacing)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    return WalkHits(
        pool, test, [](int) { return false; },
        [&] {
            if (!pacing.poll) return false;
            const Clock::time_point now = Clock::now();
            if (now - last < pacing.interval) return false;
            const bool stop = pacing.poll();
            last = Clock::now();
            return stop;
        });
}

std::vector<std::int32_t> PageHits(const EntryPool& pool, int page, int pageSize)
{
    std::vector<std::int32_t> out;
    if (page < 0 || pageSize < 1) return out;
    long long skip = static_cast<long long>(page) * pageSize;
    for (int slot = 0; slot < EntryPool::kSlotCount && static_cast<int>(out.size()) < pageSize;
         ++slot) {
        const ReplayEntry* e = pool.lookup(slot);
        if (!e || !(e->searchMark & kMarkHit)) continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        out.push_back(slot);
    }
    return out;
}

int PageSize(int itemIndex)
{
    const long long size = (static_cast<long long>(itemIndex) + 1) * 100;
    return size < 100 || size > 1000 ? 100 : static_cast<int>(size);
}

int PageCount(int hitCount, int pageSize)
{
    if (hitCount <= 0) return 1;
    if (pageSize < 1) pageSize = 1;
    return static_cast<int>((static_cast<long long>(hitCount) + pageSize - 1) / pageSize);
}

std::vector<std::string> TabCaptions(int hitCount, int pageSize)
{
    if (hitCount <= 0) return {"0"};
    if (pageSize < 1) pageSize = 1;
    const std::string sep = Sjis("～");
    const int pages = PageCount(hitCount, pageSize);
    std::vector<std::string> tabs;
    tabs.reserve(static_cast<std::size_t>(pages));
    for (int i = 0; i < pages; ++i) {
        const long long first = static_cast<long long>(i) * pageSize + 1;
        const long long last =
            i == pages - 1 ? hitCount : static_cast<long long>(i + 1) * pageSize;
        if (first == hitCount)
            tabs.push_back(std::to_string(hitCount));
        else
            tabs.push_back(std::to_string(first) + sep + std::to_string(last));
    }
    return tabs;
}

std::string SearchResultLabel(int hitCount)
{
    if (hitCount <= 0) return Sjis("条件に一致するファイルはありませんでした");
    return std::to_string(hitCount) + Sjis("個のファイルが見つかりました");
}

}  // namespace replidex
