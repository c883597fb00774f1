// Random window criteria written as queries take exactly the entries the
// criteria take, and read back as criteria that take them too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/search/SearchMatch.h"
#include "core/search/SearchRun.h"
#include "core/search/query/QueryCriteria.h"
#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

const std::vector<std::string>& Texts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (const char* t : {"", "a", "A", "ab", "AB", "ＡＢ", "ａｂ", "xABy", "ｘＡＢ", "あみ",
                              "あみ太郎", "ぷよ", "Ｐ1", "p1", "ｱﾐ", "大会 決勝", "\"q\"", "a(b)",
                              "ー", "表", "予選|本戦"})
            out.push_back(Sjis(t));
        return out;
    }();
    return texts;
}

int Pick(std::mt19937_64& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

const std::string& AnyText(std::mt19937_64& rng)
{
    return Texts()[static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(Texts().size()) - 1))];
}

void RandomPlayer(std::mt19937_64& rng, PlayerRecord& p)
{
    p.setName(AnyText(rng) + (Pick(rng, 0, 3) == 0 ? AnyText(rng) : ""));
    p.rank = static_cast<std::int16_t>(Pick(rng, 0, 5) == 0 ? Pick(rng, -3, 40) : Pick(rng, 0, 19));
    p.wins = static_cast<std::int16_t>(Pick(rng, 0, 4) == 0 ? Pick(rng, -5, 300) : Pick(rng, 0, 20));
    p.losses = static_cast<std::int16_t>(Pick(rng, 0, 4) == 0 ? Pick(rng, -5, 300) : Pick(rng, 0, 20));
    p.character = static_cast<std::int16_t>(Pick(rng, 0, 40));
}

// Net and offline matches (each with other flag bits now and then, failed
// analyses and entries without info among them), files missing or changed.
std::vector<ReplayEntry> RandomEntries(std::mt19937_64& rng, int count)
{
    std::vector<ReplayEntry> out(static_cast<std::size_t>(count));
    for (ReplayEntry& e : out) {
        e.fileName = "REPLAY" + std::to_string(Pick(rng, 0, 99)) + ".RPD";
        e.fileAge = Pick(rng, 0, 9) == 0 ? -1 : Pick(rng, 0, 0x7FFFFFFF);
        e.memo = Pick(rng, 0, 1) ? AnyText(rng) + AnyText(rng) : "";
        if (Pick(rng, 0, 19) == 0) continue;
        e.info.emplace();
        e.info->infoFlags = Pick(rng, 0, 1) ? kInfoNetMatch : kInfoOfflineMatch;
        if (Pick(rng, 0, 3) == 0) e.info->infoFlags |= kInfoRuleF | kInfoNetW;
        if (Pick(rng, 0, 9) == 0) e.info->infoFlags |= kInfoFailed;
        RandomPlayer(rng, e.info->p1);
        RandomPlayer(rng, e.info->p2);
    }
    return out;
}

SearchCriteria RandomCriteria(std::mt19937_64& rng)
{
    SearchCriteria c;
    c.useHandleName = Pick(rng, 0, 2) == 0;
    c.handleName = AnyText(rng);
    c.useRank = Pick(rng, 0, 1) == 0;
    c.rankIndex = Pick(rng, 0, kSearchRankCount - 1);
    c.rankCompare = Pick(rng, 0, 2);
    c.useRatio = Pick(rng, 0, 2) == 0;
    c.ratioStep = Pick(rng, 0, kSearchRatioStepCount - 1);
    c.ratioCompare = Pick(rng, 0, 1);
    c.useCharacter = Pick(rng, 0, 2) == 0;
    c.characterIndex = Pick(rng, 0, kSearchCharacterCount - 1);
    c.useMemo = Pick(rng, 0, 3) == 0;
    c.memo = AnyText(rng);
    c.player1 = Pick(rng, 0, 3) != 0;
    c.player2 = Pick(rng, 0, 3) != 0;
    c.net = Pick(rng, 0, 3) != 0;
    c.offline = Pick(rng, 0, 3) != 0;
    c.caseSensitive = Pick(rng, 0, 1) == 0;
    c.widthSensitive = Pick(rng, 0, 1) == 0;
    return c;
}

TEST(QueryEquivalence, CriteriaAsQueryTakeTheSameEntries)
{
    // REPLIDEX_QUERY_CASES=10000 for the long run.
    const char* env = std::getenv("REPLIDEX_QUERY_CASES");
    const int cases = env ? std::atoi(env) : 600;
    std::mt19937_64 rng(2601);
    std::vector<ReplayEntry> entries;
    int checked = 0;
    for (int i = 0; checked < cases; ++i) {
        if (i % 100 == 0) entries = RandomEntries(rng, 2000);
        const SearchCriteria c = RandomCriteria(rng);
        if (CheckSearchCriteria(c) != SearchRefusal::None) continue;
        ++checked;
        const std::string line = ToQuery(c);
        QueryParse parsed = ParseQuery(line);
        ASSERT_TRUE(parsed.ok) << line << ": " << QueryErrorText(parsed.error);
        const QueryTextOptions options{c.caseSensitive, c.widthSensitive};
        SearchCriteria back;
        ASSERT_TRUE(ToCriteria(parsed.query, options, back)) << line;
        EXPECT_EQ(ToQuery(back), line);
        const SearchMatcher window(c);
        const SearchMatcher backWindow(back);
        const QueryMatcher query(std::move(parsed.query), options);
        for (const ReplayEntry& e : entries) {
            if (e.info && e.info->failed()) continue;  // never in scope
            const bool want = window.MatchEntry(e);
            ASSERT_EQ(query.MatchEntry(e), want) << line << " memo " << Cp932ToUtf8Lossy(e.memo);
            ASSERT_EQ(backWindow.MatchEntry(e), want) << line;
        }
    }
}

}  // namespace
}  // namespace replidex
