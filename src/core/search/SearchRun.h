// The search over the document pool: checking the criteria before a search,
// marking the scope, the hit run, and the paging of the hits into tabs.
// The marks live in ReplayEntry::searchMark (kMarkInScope, kMarkHit).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/replay/ReplayRecords.h"
#include "core/search/SearchCriteria.h"

namespace replidex {

enum class SearchRefusal {
    None,
    NoCriterion,   // no criterion on, or only offline matches wanted without
                   // the character or memo criterion
    NoPlayer,      // neither 1P nor 2P
    NoMatchKind,   // neither Net nor OffLine
};

// The first reason, in the window's order, why a search with these criteria
// is refused; None when it may run.
SearchRefusal CheckSearchCriteria(const SearchCriteria& criteria);
// The message shown for a refusal (Shift-JIS); empty for None.
std::string SearchRefusalText(SearchRefusal refusal);
// Both at once: the message, or empty when the search may run.
std::string SearchRefusalText(const SearchCriteria& criteria);

// Clears the search marks of every entry of the pool, then marks in scope
// (kMarkInScope) every entry listed in `scope` or any folder below it that
// has a valid info and, when `skipMissingOrChanged`, whose file is there
// unchanged. Answers the number of entries marked. With no scope nothing
// happens at all and 0 is answered.
int MarkScope(EntryPool& pool, const ReplayFolder* scope, bool skipMissingOrChanged);

struct SearchRunResult {
    int hitCount = 0;
    bool aborted = false;
};

// The hit run: clears the hit mark of every entry in scope, then walks the
// pool in slot order and, for every entry in scope that matches, sets its hit
// mark, appends its slot to `hits` (when given) and calls `afterHit` (when
// given); the run stops after a hit for which `afterHit` answers true.
// The criteria are expected to have passed CheckSearchCriteria.
SearchRunResult RunHitSearch(EntryPool& pool, const SearchCriteria& criteria,
                             std::vector<std::int32_t>* hits = nullptr,
                             const std::function<bool()>& afterHit = {});

// The same walk with any test of an entry in place of the criteria (a
// parsed query, for one).
using EntryTest = std::function<bool(const ReplayEntry&)>;
SearchRunResult RunHitSearchWith(EntryPool& pool, const EntryTest& test,
                                 std::vector<std::int32_t>* hits = nullptr,
                                 const std::function<bool()>& afterHit = {});

// How a hit run hands control back while it walks: `poll` runs whenever at
// least `interval` has passed since the run started or since the last poll,
// hits or not, so that a run that finds nothing is as interruptible as one
// that finds much, and one that finds everything does not stop at each hit.
// The clock is read every kSearchPollStride slots. The run stops after a
// poll that answers true.
struct SearchPacing {
    std::chrono::milliseconds interval{50};
    std::function<bool()> poll;
};
inline constexpr int kSearchPollStride = 256;

// The hit run of RunHitSearch, paced by `pacing` instead of a call per hit.
SearchRunResult RunPacedHitSearch(EntryPool& pool, const SearchCriteria& criteria,
                                  const SearchPacing& pacing);

SearchRunResult RunPacedHitSearchWith(EntryPool& pool, const EntryTest& test,
                                      const SearchPacing& pacing);

// The slots of the hits on page `page` (from 0): the hits in slot order,
// skipping page × pageSize of them, at most pageSize.
std::vector<std::int32_t> PageHits(const EntryPool& pool, int page, int pageSize);

// Hits per result page from the page-size setting's item index:
// (index + 1) × 100, and 100 when that is below 100 or above 1000.
int PageSize(int itemIndex);
// The item of the page-size setting when there is none in the settings file.
inline constexpr int kDefaultPageSizeItem = 0;

// Pages of `hitCount` hits: at least 1 (the single tab "0" of no hits).
int PageCount(int hitCount, int pageSize);
// The tab captions of the result pages: "0" for no hits; otherwise per page
// "first～last", or just "first" when a page holds one hit (Shift-JIS).
std::vector<std::string> TabCaptions(int hitCount, int pageSize);

// The status line after a search (Shift-JIS).
std::string SearchResultLabel(int hitCount);

}  // namespace replidex
