// replidex-cli stats, run as the real program over list files written here.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/list/ListFile.h"
#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"
#include "support/CliRunner.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::RunCli;
using test::SplitLines;
using Strings = std::vector<std::string>;

constexpr std::int32_t kMay = ((2024 - 1980) << 25) | (5 << 21) | (3 << 16) | (12 << 11) | (34 << 5) | 28;
constexpr std::int32_t kJune = ((2024 - 1980) << 25) | (6 << 21) | (1 << 16);

ReplayEntry* AddNet(ReplayDocument& doc, ReplayFolder& folder, const std::string& file, const char* n1,
                    int s1, const char* n2, int s2, std::int32_t age = kMay)
{
    ReplayEntry* e = test::AddEntry(doc, folder, "/games/", file, age);
    ReplayInfo info;
    info.infoFlags = kInfoNetMatch;
    info.p1.setName(Sjis(n1));
    info.p2.setName(Sjis(n2));
    info.p1.score = static_cast<std::int16_t>(s1);
    info.p2.score = static_cast<std::int16_t>(s2);
    info.p1.character = 0x30, info.p2.character = 0x3D;
    info.p1.rank = 10, info.p2.rank = 11;
    e->info = info;
    return e;
}

class CliStats : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.root = doc.addTopLevel("Root");
        ReplayFolder* cup = doc.root->addChild(Sjis("大会"));
        AddNet(doc, *doc.root, "a.RPD", "ぷよ太郎", 3, "=rival", 1);
        AddNet(doc, *cup, "b.RPD", "=rival", 2, "ぷよ太郎", 1, kJune);
        AddNet(doc, *cup, "b2.RPD", "=rival", 2, "ぷよ太郎", 1, kJune);   // the other player's save
        AddNet(doc, *doc.root, "c.RPD", "ぷよ太郎", 1, "cat", 1, kNoFileAge);
        AddNet(doc, *doc.root, "d.RPD", "ぷよ太郎", 2, "alt", 0);        // namesakes
        list = dir.file("list.rdx");
        ASSERT_TRUE(SaveListFileNative(list, doc));
    }
    Strings Lines(Strings args, int status = 0)
    {
        args.insert(args.begin(), {"stats", list});
        const test::CliResult r = RunCli(args);
        EXPECT_EQ(r.status, status) << r.err;
        return SplitLines(r.out);
    }
    test::TempDir dir;
    ReplayDocument doc;
    std::string list;
};

TEST_F(CliStats, ByOpponentAndByMatch)
{
    EXPECT_EQ(Lines({"--player", "ぷよ太郎", "alt"}),
              (Strings{R"({"opponent":"=rival","matches":2,"wins":1,"losses":1,"unknown":0,"gamesWon":4,"gamesLost":3,"last":"2024-06-01T00:00:00","lastRank":"しょだん"})",
                       R"({"opponent":"cat","matches":1,"wins":0,"losses":0,"unknown":1,"gamesWon":1,"gamesLost":1,"last":null,"lastRank":"２だん"})",
                       R"({"matches":3,"wins":1,"losses":1,"unknown":1,"excluded":1})"}));
    EXPECT_EQ(Lines({"--player", "ぷよ太郎", "--by", "match", "--each-file"}),
              // Pool slot order: the list file gives the sub-folder's entries the first slots.
              (Strings{R"({"time":"2024-06-01T00:00:00","path":"/games/b.RPD","side":2,"opponent":"=rival","score":"1-2","result":"loss"})",
                       R"({"time":"2024-06-01T00:00:00","path":"/games/b2.RPD","side":2,"opponent":"=rival","score":"1-2","result":"loss"})",
                       R"({"time":"2024-05-03T12:34:56","path":"/games/a.RPD","side":1,"opponent":"=rival","score":"3-1","result":"win"})",
                       R"({"time":null,"path":"/games/c.RPD","side":1,"opponent":"cat","score":"1-1","result":"unknown"})",
                       R"({"time":"2024-05-03T12:34:56","path":"/games/d.RPD","side":1,"opponent":"alt","score":"2-0","result":"win"})",
                       R"({"matches":5,"wins":2,"losses":2,"unknown":1,"excluded":0})"}));
}

TEST_F(CliStats, OtherTablesFolderAndCsv)
{
    EXPECT_EQ(Lines({"--player", "ぷよ太郎", "--by", "chara", "--folder", "大会"}),
              (Strings{R"({"chara":"アルル","matches":1,"wins":0,"losses":1,"unknown":0,"gamesWon":1,"gamesLost":2,"offline":0})",
                       R"({"matches":1,"wins":0,"losses":1,"unknown":0,"excluded":0})"}));
    EXPECT_EQ(Lines({"--player", "ぷよ太郎", "--by", "month"}).front(),
              R"({"month":"2024-05","matches":2,"wins":2,"losses":0,"unknown":0,"gamesWon":5,"gamesLost":1})");
    const Strings csv = Lines({"--player", "ぷよ太郎", "--csv", "--encoding", "cp932", "--folder", "大会"});
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[1], Sjis("'=rival,1,0,1,0,0.0%,1,2,2024-06-01 00:00:00,しょだん\r"));
    const test::CliResult utf8 = RunCli({"stats", list, "--player", "ぷよ太郎", "--csv", "--by", "match"});
    EXPECT_EQ(utf8.out.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(SplitLines(utf8.out).size(), 5u);   // the titles and a, b, c, d
}

TEST_F(CliStats, RefusesWhatItCannotDo)
{
    const struct { Strings args; int status; } cases[] = {
        {{"--by", "opponent"}, 2},                            // no --player
        {{"--player", "x", "--by", "nobody"}, 2},
        {{"--player", "x", "--encoding", "cp932"}, 2},        // --encoding without --csv
        {{"--player", "x", "--folder", "none"}, 1},
        {{"--player", "x", "--unknown"}, 2},
    };
    for (const auto& c : cases) {
        Strings args{"stats", list};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(RunCli(args).status, c.status) << c.args.back();
    }
    EXPECT_EQ(RunCli({"stats", dir.file("none.rdx"), "--player", "x"}).status, 1);
}

// Totals against a count made here from the entries themselves, on random
// lists with repeated matches, namesakes and strangers.
TEST(CliStatsRandom, TotalsAgreeWithAnIndependentCount)
{
    test::TempDir dir;
    const char* names[] = {"me", "alt", "a", "b"};
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        std::mt19937_64 rng(seed);
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        std::set<std::tuple<std::string, int, std::string, int>> seen;
        int matches = 0, wins = 0, losses = 0, excluded = 0;
        for (int i = 0; i < 300; ++i) {
            const char* n1 = names[rng() % 4];
            const char* n2 = names[rng() % 4];
            const int s1 = static_cast<int>(rng() % 3), s2 = static_cast<int>(rng() % 3);
            AddNet(doc, *doc.root, std::to_string(i) + ".RPD", n1, s1, n2, s2);
            const bool me1 = std::string(n1) == "me" || std::string(n1) == "alt";
            const bool me2 = std::string(n2) == "me" || std::string(n2) == "alt";
            if (!(me1 || me2) || !seen.insert({n1, s1, n2, s2}).second) continue;
            if (me1 && me2) { ++excluded; continue; }
            ++matches;
            const int mine = me1 ? s1 : s2, theirs = me1 ? s2 : s1;
            wins += mine > theirs;
            losses += mine < theirs;
        }
        const std::string list = dir.file("r" + std::to_string(seed) + ".rdx");
        ASSERT_TRUE(SaveListFileNative(list, doc));
        const test::CliResult r = RunCli({"stats", list, "--player", "me", "alt"});
        const Strings lines = SplitLines(r.out);
        ASSERT_FALSE(lines.empty()) << "status " << r.status << ": " << r.err;
        const auto totals = nlohmann::json::parse(lines.back());
        EXPECT_EQ(totals["matches"], matches);
        EXPECT_EQ(totals["wins"], wins);
        EXPECT_EQ(totals["losses"], losses);
        EXPECT_EQ(totals["unknown"], matches - wins - losses);
        EXPECT_EQ(totals["excluded"], excluded);
    }
}

}  // namespace
}  // namespace replidex
