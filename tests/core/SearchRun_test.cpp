// The search over the pool: refusals, scope marking, the hit run in slot
// order, pages and tab captions.
#include "core/search/SearchRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using Slots = std::vector<std::int32_t>;

// ---------------------------------------------------------------------------
// Refusals

struct RefusalCase {
    const char* what;
    void (*change)(SearchCriteria&);
    const char* message;  // empty: the search runs
};

TEST(SearchRefusal, ChecksInOrderWithExactTexts)
{
    const char* kNone = "";
    const char* kNoCriterion = "検索条件が設定されていません。";
    const char* kNoPlayer = "1Pと2P両方共チェックされていません。";
    const char* kNoKind = "NetとOffLine両方共チェックされていません。";
    const std::vector<RefusalCase> cases = {
        {"initial state runs", [](SearchCriteria&) {}, kNone},
        {"no criterion", [](SearchCriteria& c) { c.useRank = false; }, kNoCriterion},
        {"offline only with name",
         [](SearchCriteria& c) {
             c.useRank = false;
             c.useHandleName = true;
             c.net = false;
         },
         kNoCriterion},
        {"offline only with rank", [](SearchCriteria& c) { c.net = false; }, kNoCriterion},
        {"offline only with character",
         [](SearchCriteria& c) {
             c.net = false;
             c.useCharacter = true;
         },
         kNone},
        {"offline only with memo",
         [](SearchCriteria& c) {
             c.net = false;
             c.useMemo = true;
         },
         kNone},
        {"no player", [](SearchCriteria& c) { c.player1 = c.player2 = false; }, kNoPlayer},
        {"no criterion comes before no player",
         [](SearchCriteria& c) {
             c.useRank = false;
             c.player1 = c.player2 = false;
         },
         kNoCriterion},
        {"only 2P runs", [](SearchCriteria& c) { c.player1 = false; }, kNone},
        {"no kind of match", [](SearchCriteria& c) { c.net = c.offline = false; }, kNoKind},
        {"no player comes before no kind",
         [](SearchCriteria& c) {
             c.net = c.offline = false;
             c.player2 = c.player1 = false;
         },
         kNoPlayer},
        {"no kind with only a name",
         [](SearchCriteria& c) {
             c.useRank = false;
             c.useHandleName = true;
             c.net = c.offline = false;
         },
         kNoKind},
    };
    for (const auto& c : cases) {
        SearchCriteria criteria;
        c.change(criteria);
        EXPECT_EQ(SearchRefusalText(criteria), Sjis(c.message)) << c.what;
        EXPECT_EQ(CheckSearchCriteria(criteria) == SearchRefusal::None, *c.message == '\0')
            << c.what;
    }
}

// ---------------------------------------------------------------------------
// Scope marking

ReplayEntry* AddEntry(EntryPool& pool, ReplayFolder& folder, std::uint32_t flags = kInfoNetMatch)
{
    ReplayEntry* e = pool.allocate();
    e->kind = kReplayEntryKind;
    e->info.emplace();
    e->info->infoFlags = flags;
    folder.entryList().push_back(e->poolIndex);
    return e;
}

void PlaceFile(const test::TempDir& dir, ReplayEntry& e, const std::string& name)
{
    e.folderPath = dir.path().string() + "/";
    e.fileName = name;
    dir.write(name, "replay bytes");
    e.fileAge = FileAgeOf(e.fullPath());
}

bool InScope(const ReplayEntry* e) { return (e->searchMark & kMarkInScope) != 0; }

class MarkScopeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.name = "Root";
        ReplayFolder* sub = root.addChild("sub");
        ReplayFolder* deeper = sub->addChild("deeper");
        ReplayFolder* outside = other.addChild("outside");

        unchanged = AddEntry(pool, root);
        PlaceFile(dir, *unchanged, "a.RPD");
        noInfo = AddEntry(pool, root);
        noInfo->info.reset();
        PlaceFile(dir, *noInfo, "b.RPD");
        failed = AddEntry(pool, *sub, kInfoFailed);
        PlaceFile(dir, *failed, "c.RPD");
        missing = AddEntry(pool, *sub);
        missing->folderPath = dir.path().string() + "/";
        missing->fileName = "gone.RPD";
        missing->fileAge = -1;
        changed = AddEntry(pool, *deeper, kInfoOfflineMatch);
        PlaceFile(dir, *changed, "d.RPD");
        changed->fileAge ^= 2;  // another time than the file's
        elsewhere = AddEntry(pool, *outside);
        PlaceFile(dir, *elsewhere, "e.RPD");
        // Indices that lead nowhere are skipped.
        deeper->entryList().push_back(70000);
        deeper->entryList().push_back(-1);
        deeper->entryList().push_back(60000);
        // An entry listed twice counts once.
        sub->entryList().push_back(unchanged->poolIndex);
        subFolder = sub;
    }

    test::TempDir dir;
    EntryPool pool;
    ReplayFolder root;
    ReplayFolder other;
    ReplayFolder* subFolder = nullptr;
    ReplayEntry* unchanged = nullptr;
    ReplayEntry* noInfo = nullptr;
    ReplayEntry* failed = nullptr;
    ReplayEntry* missing = nullptr;
    ReplayEntry* changed = nullptr;
    ReplayEntry* elsewhere = nullptr;
};

TEST_F(MarkScopeTest, WithoutFileStateTakesEveryValidInfoBelowTheFolder)
{
    elsewhere->searchMark = kMarkInScope | kMarkHit;  // stale marks go
    EXPECT_EQ(MarkScope(pool, &root, false), 3);
    EXPECT_TRUE(InScope(unchanged));
    EXPECT_TRUE(InScope(missing));
    EXPECT_TRUE(InScope(changed));
    EXPECT_FALSE(InScope(noInfo));
    EXPECT_FALSE(InScope(failed));
    EXPECT_EQ(elsewhere->searchMark, 0u);
}

TEST_F(MarkScopeTest, WithFileStateSkipsMissingAndChangedFiles)
{
    ASSERT_EQ(EntryState(*unchanged), kStateUnchanged);
    ASSERT_EQ(EntryState(*missing), kStateMissing);
    ASSERT_EQ(EntryState(*changed), kStateChanged);
    EXPECT_EQ(MarkScope(pool, &root, true), 1);
    EXPECT_TRUE(InScope(unchanged));
    EXPECT_FALSE(InScope(missing));
    EXPECT_FALSE(InScope(changed));
}

TEST_F(MarkScopeTest, SubFolderScopeAndNoScope)
{
    EXPECT_EQ(MarkScope(pool, subFolder, false), 3);  // missing, changed, unchanged (listed in sub)
    EXPECT_FALSE(InScope(elsewhere));

    // No scope: nothing is cleared, nothing marked.
    unchanged->searchMark = kMarkInScope | kMarkHit;
    elsewhere->searchMark = kMarkHit;
    EXPECT_EQ(MarkScope(pool, nullptr, true), 0);
    EXPECT_EQ(unchanged->searchMark, kMarkInScope | kMarkHit);
    EXPECT_EQ(elsewhere->searchMark, std::uint32_t{kMarkHit});
}

TEST(MarkScope, VeryDeepTree)
{
    EntryPool pool;
    ReplayFolder root("Root");
    ReplayFolder* f = &root;
    for (int i = 0; i < 100000; ++i) f = f->addChild("d");
    ReplayEntry* e = AddEntry(pool, *f);
    EXPECT_EQ(MarkScope(pool, &root, false), 1);
    EXPECT_TRUE(InScope(e));
    // Tear down iteratively as well.
    while (!root.children.empty()) {
        auto child = std::move(root.children.front());
        root.children = std::move(child->children);
    }
}

// ---------------------------------------------------------------------------
// Hit run

// Entries whose character (0x30 + n) says whether they should hit.
ReplayEntry* PutAt(EntryPool& pool, ReplayFolder& folder, int slot, int character)
{
    while (pool.cursor() != slot) {
        ReplayEntry* filler = pool.allocate();
        pool.release(filler);
        if (pool.lookup(slot)) return nullptr;
    }
    ReplayEntry* e = AddEntry(pool, folder);
    e->info->p1.character = static_cast<std::int16_t>(0x30 + character);
    e->info->p2.character = 0x3F;
    return e;
}

SearchCriteria CharacterIs(int index)
{
    SearchCriteria c;
    c.useRank = false;
    c.useCharacter = true;
    c.characterIndex = index;
    return c;
}

TEST(RunHitSearch, HitsInSlotOrderNotTreeOrder)
{
    EntryPool pool;
    ReplayFolder root("Root");
    ReplayFolder* sub = root.addChild("sub");
    // Tree order: root lists slot 9 then 2, sub lists 5 and 7; slot 4 is out
    // of scope.
    ASSERT_TRUE(PutAt(pool, *sub, 2, 1));
    ASSERT_TRUE(PutAt(pool, root, 4, 1));
    ASSERT_TRUE(PutAt(pool, *sub, 5, 1));
    ASSERT_TRUE(PutAt(pool, *sub, 7, 2));
    ASSERT_TRUE(PutAt(pool, root, 9, 1));
    root.entryList() = {9, 2};
    sub->entryList() = {5, 7};
    ReplayFolder other("other");
    other.entryList() = {4};

    ASSERT_EQ(MarkScope(pool, &root, false), 4);
    Slots hits;
    const SearchRunResult r = RunHitSearch(pool, CharacterIs(1), &hits);
    EXPECT_EQ(r.hitCount, 3);
    EXPECT_FALSE(r.aborted);
    EXPECT_EQ(hits, (Slots{2, 5, 9}));
    EXPECT_EQ(pool.lookup(7)->searchMark, std::uint32_t{kMarkInScope});
    EXPECT_EQ(pool.lookup(4)->searchMark, 0u);
    EXPECT_EQ(PageHits(pool, 0, 100), (Slots{2, 5, 9}));

    // A second search replaces the hits of the first.
    hits.clear();
    EXPECT_EQ(RunHitSearch(pool, CharacterIs(2), &hits).hitCount, 1);
    EXPECT_EQ(hits, (Slots{7}));
    EXPECT_EQ(PageHits(pool, 0, 100), (Slots{7}));
}

TEST(RunHitSearch, AbortKeepsHitsSoFarAndClearsOldOnes)
{
    EntryPool pool;
    ReplayFolder root("Root");
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(PutAt(pool, root, i, 1));
    MarkScope(pool, &root, false);
    pool.lookup(5)->searchMark |= kMarkHit;  // left over from an earlier search

    int calls = 0;
    const SearchRunResult r = RunHitSearch(pool, CharacterIs(1), nullptr, [&] {
        return ++calls == 2;
    });
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.hitCount, 2);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(PageHits(pool, 0, 100), (Slots{0, 1}));
}

// The paced run polls by time, hits or not, every kSearchPollStride slots at
// the most; a poll answering true stops it with the hits so far.
TEST(RunPacedHitSearch, PollsByTimeWhetherOrNotThereAreHits)
{
    constexpr int kEntries = 1000;
    constexpr int kAllPolls = EntryPool::kSlotCount / kSearchPollStride;
    struct Case {
        const char* what;
        int character;                   // 1: every entry hits, 2: none does
        std::chrono::milliseconds interval;
        int stopAtPoll;                  // 0: never stop
        int polls, hits;
        bool aborted;
    };
    const std::vector<Case> cases = {
        {"all hit, stop at the first poll", 1, std::chrono::milliseconds(0), 1, 1,
         kSearchPollStride, true},
        {"all hit, stop at the third poll", 1, std::chrono::milliseconds(0), 3, 3,
         3 * kSearchPollStride, true},
        {"none hits, polled all the same", 2, std::chrono::milliseconds(0), 0, kAllPolls, 0,
         false},
        {"none hits, stopped", 2, std::chrono::milliseconds(0), 2, 2, 0, true},
        {"all hit, never due", 1, std::chrono::hours(1), 1, 0, kEntries, false},
    };
    EntryPool pool;
    ReplayFolder root("Root");
    for (int i = 0; i < kEntries; ++i) ASSERT_TRUE(PutAt(pool, root, i, 1));
    MarkScope(pool, &root, false);
    for (const Case& c : cases) {
        int polls = 0;
        SearchPacing pacing;
        pacing.interval = c.interval;
        pacing.poll = [&] { return ++polls == c.stopAtPoll; };
        const SearchRunResult r = RunPacedHitSearch(pool, CharacterIs(c.character), pacing);
        EXPECT_EQ(polls, c.polls) << c.what;
        EXPECT_EQ(r.hitCount, c.hits) << c.what;
        EXPECT_EQ(r.aborted, c.aborted) << c.what;
        EXPECT_EQ(static_cast<int>(PageHits(pool, 0, EntryPool::kSlotCount).size()), c.hits)
            << c.what;
    }
}

TEST(PageHits, SkipsWholePages)
{
    EntryPool pool;
    ReplayFolder root("Root");
    for (int i = 0; i < 250; ++i) ASSERT_TRUE(PutAt(pool, root, 2 * i, 3));
    MarkScope(pool, &root, false);
    ASSERT_EQ(RunHitSearch(pool, CharacterIs(3)).hitCount, 250);
    const Slots p0 = PageHits(pool, 0, 100);
    const Slots p2 = PageHits(pool, 2, 100);
    ASSERT_EQ(p0.size(), 100u);
    ASSERT_EQ(p2.size(), 50u);
    EXPECT_EQ(p0.front(), 0);
    EXPECT_EQ(p2.front(), 400);
    EXPECT_EQ(p2.back(), 498);
    EXPECT_TRUE(PageHits(pool, 3, 100).empty());
    EXPECT_TRUE(PageHits(pool, -1, 100).empty());
}

// ---------------------------------------------------------------------------
// Paging

TEST(PageSize, FromSettingsItem)
{
    const std::vector<std::pair<int, int>> cases = {
        {0, 100}, {1, 200}, {4, 500}, {9, 1000}, {-1, 100}, {-2, 100},
        {10, 100}, {INT_MAX, 100}, {INT_MIN, 100},
    };
    for (const auto& [item, size] : cases) EXPECT_EQ(PageSize(item), size) << item;
    EXPECT_EQ(PageSize(kDefaultPageSizeItem), 100);
}

struct TabCase {
    int hits;
    int pageSize;
    std::vector<const char*> tabs;
};

TEST(TabCaptions, OnePerPage)
{
    const std::vector<TabCase> cases = {
        {0, 100, {"0"}},
        {1, 100, {"1"}},
        {99, 100, {"1～99"}},
        {100, 100, {"1～100"}},
        {101, 100, {"1～100", "101"}},
        {150, 100, {"1～100", "101～150"}},
        {200, 100, {"1～100", "101～200"}},
        {201, 100, {"1～100", "101～200", "201"}},
        {1001, 1000, {"1～1000", "1001"}},
        {300, 300, {"1～300"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected;
        for (const char* t : c.tabs) expected.push_back(Sjis(t));
        EXPECT_EQ(TabCaptions(c.hits, c.pageSize), expected) << c.hits << "/" << c.pageSize;
        EXPECT_EQ(PageCount(c.hits, c.pageSize), static_cast<int>(expected.size()));
    }
    const auto many = TabCaptions(65536, 100);
    ASSERT_EQ(many.size(), 656u);
    EXPECT_EQ(many[654], Sjis("65401～65500"));
    EXPECT_EQ(many.back(), Sjis("65501～65536"));
}

TEST(SearchResultLabel, CountOrNone)
{
    EXPECT_EQ(SearchResultLabel(0), Sjis("条件に一致するファイルはありませんでした"));
    EXPECT_EQ(SearchResultLabel(12), Sjis("12個のファイルが見つかりました"));
}

}  // namespace
}  // namespace replidex
