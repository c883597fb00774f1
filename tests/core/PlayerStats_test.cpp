// A player's statistics over built entries: the result rule, who the subject
// is, matches counted once, the four tables, the table texts and the CSV bytes.
#include "core/stats/PlayerStats.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/replay/FileTime.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/StatsSettings.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/MatchResult.h"
#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

#ifndef REPLIDEX_STATS_GOLDEN
#define REPLIDEX_STATS_GOLDEN "."
#endif

namespace replidex {
namespace {

// 2024-05-03 12:34:56 and a month later, packed.
constexpr std::int32_t kMay = ((2024 - 1980) << 25) | (5 << 21) | (3 << 16) | (12 << 11) | (34 << 5) | 28;
constexpr std::int32_t kJune = ((2024 - 1980) << 25) | (6 << 21) | (1 << 16);

struct Built {
    std::string n1;   // Shift-JIS
    int s1 = 0;
    std::string n2;
    int s2 = 0;
    std::uint32_t flags = kInfoNetMatch;
    std::int32_t age = kMay;
    std::int16_t c1 = 0x30, c2 = 0x31, rank2 = 0;
};

Built Net(const char* n1, int s1, const char* n2, int s2) { return {Sjis(n1), s1, Sjis(n2), s2}; }

ReplayInfo InfoOf(const Built& b)
{
    ReplayInfo info;
    info.infoFlags = b.flags;
    info.p1.setName(b.n1);
    info.p2.setName(b.n2);
    info.p1.score = static_cast<std::int16_t>(b.s1);
    info.p2.score = static_cast<std::int16_t>(b.s2);
    info.p1.character = b.c1;
    info.p2.character = b.c2;
    info.p2.rank = b.rank2;
    return info;
}

// A list whose root holds the built entries in slot order; their files are
// nowhere, so each entry's file counts as missing.
struct BuiltList {
    ReplayDocument doc;
    std::vector<std::int32_t> scope;
    explicit BuiltList(const std::vector<Built>& entries)
    {
        doc.root = doc.addTopLevel("Root");
        int n = 0;
        for (const Built& b : entries) {
            ReplayEntry* e = test::AddEntry(doc, *doc.root, "/nowhere/", "R" + std::to_string(n++) + ".RPD", b.age);
            e->info = InfoOf(b);
        }
        scope = FolderScopeSlots(doc.pool, doc.root);
    }
    PlayerStats stats(std::vector<std::string> utf8Names, StatsOptions options = {}) const
    {
        std::vector<std::string> names;
        for (const auto& name : utf8Names) names.push_back(Sjis(name));
        return ComputePlayerStats(doc.pool, scope, StatsSubject(names), options);
    }
};

TEST(MatchResult, ComparesTheScoresAsRead)
{
    struct Case { int s1, s2; std::uint32_t flags; MatchOutcome for1, for2; };
    const auto W = MatchOutcome::Win, L = MatchOutcome::Loss, U = MatchOutcome::Unknown;
    const Case cases[] = {
        {2, 1, kInfoNetMatch, W, L},      // 2対1
        {1, 2, kInfoNetMatch, L, W},      // 1対2
        {0, 0, kInfoNetMatch, U, U},      // 0対0
        {1, 1, kInfoNetMatch, U, U},      // 1対1
        {3, 18, kInfoNetMatch, L, W},     // the readings that give 2P 18 or 32 games
        {40, 32, kInfoNetMatch, W, L},
        {0, 1, kInfoNetMatch, L, W},      // the reading 0対1
        {2, 1, kInfoOfflineMatch, U, U},  // offline: no scores to compare
        {2, 1, kInfoNetMatch | kInfoFailed, U, U},
    };
    for (const Case& c : cases) {
        Built b = Net("a", c.s1, "b", c.s2);
        b.flags = c.flags;
        EXPECT_EQ(MatchResult(InfoOf(b), 1), c.for1) << c.s1 << "-" << c.s2;
        EXPECT_EQ(MatchResult(InfoOf(b), 2), c.for2) << c.s1 << "-" << c.s2;
    }
}

TEST(PlayerStats, CountsWhatTheSubjectPlayed)
{
    Built offline = Net("", 0, "", 0);
    offline.flags = kInfoOfflineMatch;
    Built failed = Net("me", 2, "x", 0);
    failed.flags |= kInfoFailed;
    // "あいうえおかきくa" stored cut to 16 bytes: the last byte is half of く.
    const std::string longName = Sjis("aあいうえおかきく");
    Built cut{longName.substr(0, kReadNameBytes), 2, Sjis("x"), 0};

    struct Case {
        const char* what;
        std::vector<Built> entries;
        std::vector<std::string> subject;
        StatsOptions options;
        int matches, wins, losses, unknown, excluded, offline;
    };
    const std::vector<Case> cases = {
        {"1P wins 2-1", {Net("me", 2, "x", 1)}, {"me"}, {}, 1, 1, 0, 0, 0, 0},
        {"subject on 2P loses 2-1", {Net("x", 2, "me", 1)}, {"me"}, {}, 1, 0, 1, 0, 0, 0},
        {"0-0 and 1-1 are unknown", {Net("me", 0, "x", 0), Net("me", 1, "y", 1)}, {"me"}, {}, 2, 0, 0, 2, 0, 0},
        {"any of the names", {Net("me", 2, "x", 0), Net("x", 0, "alt", 1)}, {"me", "alt"}, {}, 2, 2, 0, 0, 0, 0},
        {"names are bytes: no case folding", {Net("ME", 2, "x", 0)}, {"me"}, {}, 0, 0, 0, 0, 0, 0},
        {"namesakes on both sides are excluded", {Net("me", 2, "alt", 1)}, {"me", "alt"}, {}, 0, 0, 0, 0, 1, 0},
        {"one match saved twice counts once", {Net("me", 2, "x", 1), Net("me", 2, "x", 1)}, {"me"}, {}, 1, 1, 0, 0, 0, 0},
        {"each file when asked", {Net("me", 2, "x", 1), Net("me", 2, "x", 1)}, {"me"}, {false, false}, 2, 2, 0, 0, 0, 0},
        {"a rematch is another match", {Net("me", 2, "x", 1), Net("me", 2, "x", 0)}, {"me"}, {}, 2, 2, 0, 0, 0, 0},
        {"namesake saved twice is excluded once", {Net("me", 2, "alt", 1), Net("me", 2, "alt", 1)}, {"me", "alt"}, {}, 0, 0, 0, 0, 1, 0},
        {"offline counts only by character", {offline, Net("me", 1, "x", 0)}, {"me"}, {}, 1, 1, 0, 0, 0, 1},
        {"failed analysis is never counted", {failed}, {"me"}, {}, 0, 0, 0, 0, 0, 0},
        {"missing files count by default", {Net("me", 2, "x", 1)}, {"me"}, {true, false}, 1, 1, 0, 0, 0, 0},
        {"missing files left out when asked", {Net("me", 2, "x", 1), offline}, {"me"}, {true, true}, 0, 0, 0, 0, 0, 0},
        {"a long name matches its cut form", {cut}, {"aあいうえおかきく"}, {}, 1, 1, 0, 0, 0, 0},
        {"the cut form matches itself only", {cut}, {"aあいうえおかき"}, {}, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const BuiltList list(c.entries);
        const PlayerStats s = list.stats(c.subject, c.options);
        EXPECT_EQ(static_cast<int>(s.matches.size()), c.matches) << c.what;
        EXPECT_EQ(s.wins, c.wins) << c.what;
        EXPECT_EQ(s.losses, c.losses) << c.what;
        EXPECT_EQ(s.unknown, c.unknown) << c.what;
        EXPECT_EQ(s.excluded, c.excluded) << c.what;
        EXPECT_EQ(s.offline, c.offline) << c.what;
    }
}

TEST(PlayerStats, TablesSumTheirMatchesAndKeepTheirSlots)
{
    Built later = Net("b", 1, "me", 3);
    later.age = kJune, later.rank2 = 5, later.c1 = 0x30, later.c2 = 0x3D;
    Built noTime = Net("me", 0, "b", 2);
    noTime.age = kNoFileAge, noTime.rank2 = 9;
    Built offline = Net("", 0, "", 0);
    offline.flags = kInfoOfflineMatch, offline.c1 = 0x3D, offline.c2 = 0x99;
    Built first = Net("me", 2, "a", 1);
    first.rank2 = 3;
    const BuiltList list({first, later, noTime, Net("me", 1, "b", 1), offline});
    const PlayerStats s = list.stats({"me"});

    // By opponent: b (3 matches) before a; b's latest match is the June one,
    // where b stood on 1P with rank 0.
    const auto& opp = s.table(StatsTable::Opponent);
    ASSERT_EQ(opp.size(), 2u);
    EXPECT_EQ(opp[0].key, "b");
    EXPECT_EQ(std::vector<int>({opp[0].matches, opp[0].wins, opp[0].losses, opp[0].unknown,
                                opp[0].gamesWon, opp[0].gamesLost}),
              std::vector<int>({3, 1, 1, 1, 4, 4}));
    EXPECT_EQ(opp[0].last, kJune);
    EXPECT_EQ(opp[0].lastRank, 0);
    EXPECT_EQ(opp[0].countedSlots, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(opp[1].key, "a");
    EXPECT_EQ(opp[1].lastRank, 3);

    // Own character: アミティ (0x30) 3 matches; アルル (0x3D) 1 match + 1 offline.
    const auto& own = s.table(StatsTable::OwnCharacter);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(StatsKeyText(own[0], StatsTable::OwnCharacter), Sjis("アミティ"));
    EXPECT_EQ(own[0].matches, 3);
    EXPECT_EQ(StatsKeyText(own[1], StatsTable::OwnCharacter), Sjis("アルル"));
    EXPECT_EQ(own[1].matches + own[1].offline, 2);
    EXPECT_EQ(own[1].countedSlots, (std::vector<std::int32_t>{1, 4}));
    // The offline 2P character byte 0x99 is unknown: "ER".
    const auto& theirs = s.table(StatsTable::OpponentCharacter);
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(StatsKeyText(theirs.back(), StatsTable::OpponentCharacter), "ER");

    // By month: oldest first, no time last.
    std::vector<std::string> months;
    for (const StatsRow& row : s.table(StatsTable::Month)) months.push_back(row.key + ":" + std::to_string(row.matches));
    EXPECT_EQ(months, (std::vector<std::string>{"2024-05:2", "2024-06:1", ":1"}));
    for (int t = 0; t < kStatsTableCount; ++t) {
        int sum = 0;
        for (const StatsRow& row : s.tables[t]) sum += row.matches;
        EXPECT_EQ(sum, 4) << "table " << t;
    }
}

TEST(PlayerStats, ScopeIsTheFolderTreeInSlotOrderOnce)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    ReplayFolder* sub = doc.root->addChild("sub");
    ReplayFolder* other = doc.addTopLevel("other");
    for (ReplayFolder* f : {sub, doc.root, other, sub}) {
        ReplayEntry* e = test::AddEntry(doc, *f, "/x/", "a.RPD");
        e->info = InfoOf(Net("me", 1, "x", 0));
    }
    test::AddEntry(doc, *doc.root, "/x/", "noinfo.RPD");
    doc.root->entryList().push_back(3);   // slot 3 listed a second time
    EXPECT_EQ(FolderScopeSlots(doc.pool, doc.root), (std::vector<std::int32_t>{0, 1, 3}));
    EXPECT_EQ(FolderScopeSlots(doc.pool, nullptr), std::vector<std::int32_t>{});
    const std::vector<std::int32_t> hits{4, 2, 2, 99, 0};
    EXPECT_EQ(SlotScope(doc.pool, hits), (std::vector<std::int32_t>{0, 2}));
}

TEST(PlayerStats, CommonestNamesAndTimeTexts)
{
    const BuiltList list({Net("b", 1, "a", 0), Net("c", 1, "a", 0), Net("b", 1, "a", 2)});
    EXPECT_EQ(CommonestNames(list.doc.pool, list.scope, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(IsoTimeText(kMay), "2024-05-03T12:34:56");
    EXPECT_EQ(MonthText(kMay), "2024-05");
    EXPECT_EQ(IsoTimeText(kNoFileAge), "");
}

TEST(StatsTableText, OpponentTableCells)
{
    Built b = Net("me", 2, "=cmd", 1);
    b.rank2 = 10;
    const BuiltList list({b, Net("me", 0, "=cmd", 2), Net("me", 1, "=cmd", 1)});
    const TextRows rows = StatsTableRows(list.stats({"me"}), StatsTable::Opponent);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size(), 10u);
    EXPECT_EQ(rows[0][9], Sjis("相手の最新段位"));
    // The latest of three equal times is the last slot, whose 2P rank is 0.
    EXPECT_EQ(rows[1], (std::vector<std::string>{"=cmd", "3", "1", "1", "1", "50.0%", "3", "4",
                                                 "2024-05-03 12:34:56", Sjis("１０きゅう")}));
    EXPECT_EQ(StatsTableRows(list.stats({"me"}), StatsTable::Month)[0].size(), 8u);
}

// Cells that a spreadsheet would take for a formula, quotes, commas and line
// breaks, and Shift-JIS text; the same rows are read back by the Python check.
TextRows GoldenRows()
{
    return {{Sjis("名前"), Sjis("数"), Sjis("メモ")},
            {"=SUM(A1)", "+1", "-2"},
            {"@x", Sjis("\tタブ"), Sjis("\r改行")},
            {"a,b", "say \"hi\"", "line\r\nbreak"},
            {Sjis("ぷよ"), "", "ok 1-2"}};
}

TEST(CsvWriter, GoldenBytes)
{
    const struct { CsvEncoding encoding; const char* file; } cases[] = {
        {CsvEncoding::Utf8WithBom, "cells.utf8.csv"},
        {CsvEncoding::ShiftJis, "cells.cp932.csv"},
    };
    for (const auto& c : cases) {
        const std::string golden = test::ReadWholeFile(std::string(REPLIDEX_STATS_GOLDEN) + "/" + c.file);
        ASSERT_FALSE(golden.empty()) << c.file;
        EXPECT_EQ(CsvText(GoldenRows(), c.encoding), golden) << c.file;
    }
}

TEST(CsvWriter, CellRules)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"plain", "plain"}, {"=1+1", "'=1+1"}, {"-", "'-"}, {"a=b", "a=b"},
        {"\"", "\"\"\"\""}, {"\r", "\"'\r\""}, {"\n", "\"\n\""}, {"x,y", "\"x,y\""},
        {"1-2", "1-2"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(CsvCell(in), out) << in;
    // A name cut inside a double-byte character keeps its bytes in Shift-JIS
    // and becomes U+FFFD in UTF-8 without taking the comma after it along.
    const TextRows cut{{"a\x82", "b"}};
    EXPECT_EQ(CsvText(cut, CsvEncoding::ShiftJis), "a\x82,b\r\n");
    EXPECT_EQ(CsvText(cut, CsvEncoding::Utf8WithBom), "\xEF\xBB\xBF" "a\xEF\xBF\xBD,b\r\n");
}

// Cell by cell, with the conversions of repeated cells reused, the UTF-8 file
// is the one converting the whole Shift-JIS file gives: random bytes (lead
// bytes at cell ends, quotes and commas after lead bytes, undefined bytes).
TEST(CsvWriter, CellByCellEqualsTheWholeFileConverted)
{
    std::mt19937 rng(27);
    const char alphabet[] = {'a', '"', ',', '\r', '\n', '=', '\x82', '\xA0', '\x81', '\x40',
                             '\xE0', '\xFD', '\x5C', '\x7E', '\xB1', '-'};
    for (int round = 0; round < 200; ++round) {
        TextRows rows(1 + rng() % 6);
        for (auto& row : rows) {
            row.resize(1 + rng() % 5);
            for (auto& cell : row)
                for (unsigned n = rng() % 5; n > 0; --n) cell += alphabet[rng() % sizeof alphabet];
        }
        rows.push_back(rows.front());   // repeated cells come from the cache
        const std::string sjis = CsvText(rows, CsvEncoding::ShiftJis);
        ASSERT_EQ(CsvText(rows, CsvEncoding::Utf8WithBom), "\xEF\xBB\xBF" + Cp932ToUtf8Lossy(sjis))
            << round;
    }
}

TEST(StatsSettings, NamesRoundTripThroughTheSettingsFile)
{
    ProfileFile file = ProfileFile::FromBytes("[Stats]\r\nMyName0=a\r\nMyName1=\r\nMyName2=a\r\nMyName3=b\r\n"
                                              "MyName5=gap\r\nExcludeMissing=1\r\n");
    StatsSettings s = LoadStatsSettings(file);
    EXPECT_EQ(s.myNames, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(s.sameMatchOnce);
    EXPECT_TRUE(s.excludeMissing);

    s.myNames = {"", Sjis("ぷよ"), "bad\nname", "c", "c"};
    s.sameMatchOnce = false;
    SaveStatsSettings(file, s);
    const StatsSettings again = LoadStatsSettings(file);
    EXPECT_EQ(again.myNames, (std::vector<std::string>{Sjis("ぷよ"), "c"}));
    EXPECT_FALSE(again.sameMatchOnce);
    EXPECT_EQ(LoadStatsSettings(ProfileFile()).myNames, std::vector<std::string>{});
}

}  // namespace
}  // namespace replidex
