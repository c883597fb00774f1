// replidex-cli search, run as the real program over list files written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Json.h"
#include "core/list/ListFile.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/CliRunner.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::CliResult;
using test::RunCli;
using test::SplitLines;
using Strings = std::vector<std::string>;

void SetPlayer(PlayerRecord& p, const std::string& name, int rank, int wins, int losses,
               int character)
{
    p.setName(name);
    p.rank = static_cast<std::int16_t>(rank);
    p.wins = static_cast<std::int16_t>(wins);
    p.losses = static_cast<std::int16_t>(losses);
    p.character = static_cast<std::int16_t>(character);
}

// The line the command prints for one hit.
std::string HitLine(const ReplayEntry& e)
{
    const ReplayInfo* info = e.infoPtr();
    const auto text = [](const cli::Json& value) { return cli::DumpCompact(value); };
    return "{\"folderPath\":" + text(cli::HexJson(e.folderPath)) + ",\"fileName\":" +
           text(cli::HexJson(e.fileName)) + ",\"info\":" + text(cli::SjisTextJson(InfoSummary(info))) +
           ",\"text1\":" + text(cli::SjisTextJson(PlayerSummary(info, 1))) +
           ",\"text2\":" + text(cli::SjisTextJson(PlayerSummary(info, 2))) + "}";
}

std::string Tabs(const Strings& captions)
{
    std::string out;
    for (const std::string& c : captions) out += (out.empty() ? "\"" : ",\"") + c + "\"";
    return out;
}

// Root: alice (net, file there), sub: full-width name (net, file there),
// offline (file there), dave (net, file missing), no info, failed analysis.
class CliSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        ReplayFolder* sub = doc.root->addChild("sub");
        const std::string folder = dir.path().string() + "/";

        const auto add = [&](ReplayFolder& f, const std::string& name, bool withFile,
                             std::uint32_t flags) {
            ReplayEntry* e = test::AddEntry(doc, f, folder, name, -1);
            if (withFile) {
                dir.write(name, "bytes of " + name);
                e->fileAge = FileAgeOf(e->fullPath());
            }
            e->info.emplace();
            e->info->infoFlags = flags;
            return e;
        };
        ReplayEntry* alice = add(*doc.root, "alice.RPD", true, kInfoNetMatch);
        SetPlayer(alice->info->p1, "Alice", 12, 8, 2, 0x31);
        SetPlayer(alice->info->p2, "Bob", 3, 1, 9, 0x32);
        alice->memo = "good game";
        ReplayEntry* wide = add(*sub, "wide.RPD", true, kInfoNetMatch);
        SetPlayer(wide->info->p1, Sjis("ＡＢ"), 5, 0, 0, 0x33);
        SetPlayer(wide->info->p2, "carol", 5, 5, 5, 0x34);
        ReplayEntry* offline = add(*sub, "offline.RPD", true, kInfoOfflineMatch);
        SetPlayer(offline->info->p1, "", 0, 0, 0, 0x35);
        SetPlayer(offline->info->p2, "", 0, 0, 0, 0x36);
        ReplayEntry* dave = add(*sub, "dave.RPD", false, kInfoNetMatch);
        SetPlayer(dave->info->p1, "Dave", 15, 3, 1, 0x37);
        ReplayEntry* noInfo = add(*sub, "noinfo.RPD", true, 0);
        noInfo->info.reset();
        ReplayEntry* failed = add(*sub, "failed.RPD", true, kInfoFailed);
        failed->info->p1.wins = kErrSignature;

        list = dir.file("list.rdx");
        ASSERT_TRUE(SaveListFile(list, doc));
        // Read back: the slots the command will see.
        ASSERT_EQ(OpenListFile(list, loaded), ListOpenResult::Opened);
        loaded.pool.forEach([&](ReplayEntry& e) { bySlot.push_back(&e); });
    }

    // Runs search and checks that it printed exactly these hits and tabs.
    void ExpectHits(const Strings& options, const Strings& files, const Strings& tabs)
    {
        Strings args = {"search", list};
        args.insert(args.end(), options.begin(), options.end());
        const CliResult r = RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        // Hits come in slot order (the order the list file was read in, which
        // puts a folder's sub-folders before its own entries).
        Strings expected;
        for (const ReplayEntry* e : bySlot)
            if (std::find(files.begin(), files.end(), e->fileName) != files.end())
                expected.push_back(HitLine(*e));
        ASSERT_EQ(expected.size(), files.size());
        expected.push_back("{\"hits\":" + std::to_string(files.size()) + ",\"tabs\":[" +
                           Tabs(tabs) + "]}");
        EXPECT_EQ(SplitLines(r.out), expected) << testing::PrintToString(options);
    }

    test::TempDir dir;
    std::string list;
    ReplayDocument loaded;
    std::vector<const ReplayEntry*> bySlot;
};

TEST_F(CliSearchTest, Criteria)
{
    ExpectHits({"--rank", "0"}, {"alice.RPD", "wide.RPD"}, {"1～2"});
    ExpectHits({"--rank=0", "--include-missing"}, {"alice.RPD", "wide.RPD", "dave.RPD"},
               {"1～3"});
    ExpectHits({"--rank", "12", "--rank-if", "eq"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--rank", "5", "--rank-if", "le"}, {"alice.RPD", "wide.RPD"}, {"1～2"});
    ExpectHits({"--rank", "13", "--include-missing"}, {"dave.RPD"}, {"1"});
    ExpectHits({"--ratio", "7"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--ratio", "4", "--ratio-if", "le"}, {"alice.RPD", "wide.RPD"}, {"1～2"});
    ExpectHits({"--chara", "5"}, {"offline.RPD"}, {"1"});
    ExpectHits({"--chara", "5", "--no-offline"}, {}, {"0"});
    ExpectHits({"--chara", "6", "--side", "1"}, {}, {"0"});
    ExpectHits({"--chara", "6", "--side", "2", "--no-net"}, {"offline.RPD"}, {"1"});
    ExpectHits({"--memo", "good"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--name", "Bob", "--side", "1"}, {}, {"0"});
    ExpectHits({"--name", "Bob", "--side", "both"}, {"alice.RPD"}, {"1"});
}

TEST_F(CliSearchTest, TextOptionsAndUtf8Patterns)
{
    ExpectHits({"--name", "ab"}, {}, {"0"});
    ExpectHits({"--name", "AB", "--ignore-width"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--name", "ab", "--ignore-width", "--ignore-case"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--name", "ＡＢ"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--name", "alice", "--ignore-case"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--name", ""}, {}, {"0"});
}

TEST_F(CliSearchTest, RefusedSearches)
{
    const struct {
        Strings options;
        const char* text;
    } cases[] = {
        {{}, "検索条件が設定されていません。"},
        {{"--rank-if", "eq"}, "検索条件が設定されていません。"},
        {{"--name", "Bob", "--no-net"}, "検索条件が設定されていません。"},
        {{"--rank", "0", "--no-net", "--no-offline"}, "NetとOffLine両方共チェックされていません。"},
    };
    for (const auto& c : cases) {
        Strings args = {"search", list};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 1) << c.text;
        EXPECT_EQ(r.out, std::string(c.text) + "\n");
    }
}

TEST_F(CliSearchTest, UsageErrors)
{
    const Strings cases[] = {
        {"search"},
        {"search", list, list},
        {"search", list, "--rank", "20"},
        {"search", list, "--rank"},
        {"search", list, "--ratio", "9"},
        {"search", list, "--side", "3"},
        {"search", list, "--net=1"},
        {"search", list, "--whatever"},
        {"search", list, "--name", "\xF0\x9F\x98\x80"},  // no Shift-JIS form
        {"search", list, "--memo", "\xFF"},              // not UTF-8
    };
    for (const Strings& args : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(CliSearchTest, UnreadableListFails)
{
    EXPECT_EQ(RunCli({"search", dir.file("none.rdx"), "--rank", "0"}).status, 1);
    const std::string other = dir.write("other.rdx", std::string("\xE9\x03\x00\x00", 4));
    EXPECT_EQ(RunCli({"search", other, "--rank", "0"}).status, 1);
}

// A query prints exactly what the criteria flags it stands for print.
TEST_F(CliSearchTest, QueriesPrintWhatTheirFlagsPrint)
{
    const struct {
        Strings flags;
        Strings query;
    } cases[] = {
        {{"--rank", "0"}, {"--query", "rank>=１０きゅう"}},
        {{"--rank", "0"}, {"--query", "段位＞＝10級"}},
        {{"--rank", "0", "--include-missing"}, {"--query", "rank>=10級", "--include-missing"}},
        {{"--rank", "12", "--rank-if", "eq"}, {"--query", "rank=３だん"}},
        {{"--rank", "5", "--rank-if", "le"}, {"--query", "rank<=５きゅう"}},
        {{"--ratio", "7"}, {"--query", "ratio>=80%"}},
        {{"--ratio", "7"}, {"--query", "勝率>=８割"}},
        {{"--ratio", "4", "--ratio-if", "le"}, {"--query", "ratio<=0.5"}},
        {{"--chara", "5"}, {"--query", "chara:おにおん"}},
        {{"--chara", "5", "--no-offline"}, {"--query", "net chara:おにおん"}},
        {{"--chara", "6", "--side", "2", "--no-net"}, {"--query", "side:2p offline キャラ:さかな"}},
        {{"--memo", "good"}, {"--query", "memo:good"}},
        {{"--name", "Bob", "--side", "1"}, {"--query", "side:1p name:Bob"}},
        {{"--name", "Bob"}, {"--query", "名前：Bob"}},
        {{"--name", "AB", "--ignore-width"}, {"--query", "name:AB", "--ignore-width"}},
        {{"--name", "alice", "--ignore-case"}, {"--query", "name:alice", "--ignore-case"}},
        {{"--name", "ＡＢ"}, {"--query", "name:「ＡＢ」"}},
    };
    for (const auto& c : cases) {
        Strings flagArgs = {"search", list}, queryArgs = {"search", list};
        flagArgs.insert(flagArgs.end(), c.flags.begin(), c.flags.end());
        queryArgs.insert(queryArgs.end(), c.query.begin(), c.query.end());
        const CliResult byFlags = RunCli(flagArgs);
        const CliResult byQuery = RunCli(queryArgs);
        ASSERT_EQ(byFlags.status, 0) << byFlags.err;
        EXPECT_EQ(byQuery.status, 0) << c.query[1] << ": " << byQuery.err;
        EXPECT_EQ(byQuery.out, byFlags.out) << c.query[1];
    }
}

// What the window cannot say: the other player, OR, NOT, dates, file states;
// the empty query takes the whole scope.
TEST_F(CliSearchTest, QueriesBeyondTheWindow)
{
    ExpectHits({"--query", "name:Alice vs:(name:Bob)"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--query", "相手:(name:Alice)"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--query", "vs:(name:Alice) side:1p"}, {}, {"0"});
    ExpectHits({"--query", "name:Bob OR name:carol"}, {"alice.RPD", "wide.RPD"}, {"1～2"});
    ExpectHits({"--query", "name:Bob | memo:none"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--query", "-name:Alice net"}, {"alice.RPD", "wide.RPD"}, {"1～2"});
    ExpectHits({"--query", "-name:Alice -vs:(name:Alice) net"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--query", "side:2p -name:Bob net"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--query", "-(name:Alice OR name:carol) net side:1p"}, {"wide.RPD"}, {"1"});
    ExpectHits({"--query", "wins>=8 losses<3"}, {"alice.RPD"}, {"1"});
    ExpectHits({"--query", "state:missing", "--include-missing"}, {"dave.RPD"}, {"1"});
    ExpectHits({"--query", "state:ok"}, {"alice.RPD", "wide.RPD", "offline.RPD"}, {"1～3"});
    ExpectHits({"--query", "date>=2000"}, {"alice.RPD", "wide.RPD", "offline.RPD"}, {"1～3"});
    ExpectHits({"--query", "date<2000-01-01"}, {}, {"0"});
    ExpectHits({"--query", ""}, {"alice.RPD", "wide.RPD", "offline.RPD"}, {"1～3"});
    ExpectHits({"--query", "file:wide"}, {"wide.RPD"}, {"1"});
}

TEST_F(CliSearchTest, ExplainPrintsTheTreeWithoutSearching)
{
    const CliResult r = RunCli({"search", "--query", "side:2p (-name:「a b」 | rank>初段)", "--explain"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"side\":\"2p\",\"root\":{\"op\":\"and\",\"children\":[{\"op\":\"term\",\"key\":"
              "\"side\",\"position\":1,\"cmp\":\"=\",\"value\":\"2p\"},{\"op\":\"or\",\"children\":["
              "{\"op\":\"not\",\"child\":{\"op\":\"term\",\"key\":\"name\",\"position\":11,\"cmp\":"
              "\":\",\"value\":\"a b\"}},{\"op\":\"term\",\"key\":\"rank\",\"position\":24,\"cmp\":"
              "\">\",\"value\":\"しょだん\",\"index\":10}]}]}}\n");
    // With a list file given the list is not read either.
    const CliResult empty = RunCli({"search", dir.file("none.rdx"), "--query", "", "--explain"});
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "{\"side\":\"both\",\"root\":null}\n");
}

// Saved searches run with their own text options; an option on the command
// line can only loosen them.
TEST_F(CliSearchTest, SavedSearches)
{
    const std::string settings = dir.write(
        "replidex.ini", Sjis("[SavedQuery]\r\nName0=幅\r\nQuery0=name:AB\r\nOptions0=1\r\n"
                             "Name1=厳密\r\nQuery1=name:AB\r\nOptions1=3\r\n"
                             "Name2=壊れ\r\nQuery2=rank:しょだ\r\nOptions2=3\r\n"));
    ExpectHits({"--saved", "幅", "--settings", settings}, {"wide.RPD"}, {"1"});
    ExpectHits({"--saved", "厳密", "--settings", settings}, {}, {"0"});
    ExpectHits({"--saved", "厳密", "--settings", settings, "--ignore-width"}, {"wide.RPD"}, {"1"});
    const CliResult explained = RunCli({"search", "--saved", "幅", "--settings", settings, "--explain"});
    EXPECT_EQ(explained.out, "{\"side\":\"both\",\"root\":{\"op\":\"term\",\"key\":\"name\","
                             "\"position\":1,\"cmp\":\":\",\"value\":\"AB\"}}\n");

    const CliResult broken = RunCli({"search", list, "--saved", "壊れ", "--settings", settings});
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.err, "6文字目: 段位の名前ではありません「しょだ」(候補: しょだん)\n");
    const CliResult unknown = RunCli({"search", list, "--saved", "無い", "--settings", settings});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("無い"), std::string::npos) << unknown.err;
    EXPECT_TRUE(unknown.out.empty());
}

// A query that does not parse: its position and message on stderr, exit 2,
// nothing searched.
TEST_F(CliSearchTest, QueryErrors)
{
    const struct {
        const char* query;
        const char* message;
    } cases[] = {
        {"rank:しょだ", "6文字目: 段位の名前ではありません「しょだ」(候補: しょだん)"},
        {"name:a rank>=しょだ", "14文字目: 段位の名前ではありません「しょだ」(候補: しょだん)"},
        {"name:😀", "6文字目: Shift-JIS で表せない文字です「😀」"},
        {"(name:a", "1文字目: 「(」が閉じていません"},
        {"name:a)", "7文字目: 対応する「(」がありません"},
        {"name:\"a", "6文字目: 引用符が閉じていません"},
        {"name:a -", "8文字目: 「-」の後に条件がありません"},
        {"side:1p side:2p", "9文字目: side: は一度だけ書けます"},
        {"name:a OR (side:2p)", "12文字目: side: は式の一番外側にだけ書けます"},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        // The Windows command line takes a lone quote inside an argument apart.
        if (std::string_view(c.query).find('"') != std::string_view::npos) continue;
#endif
        const CliResult r = RunCli({"search", list, "--query", c.query});
        EXPECT_EQ(r.status, 2) << c.query;
        EXPECT_EQ(r.err, std::string(c.message) + "\n") << c.query;
        EXPECT_TRUE(r.out.empty()) << c.query;
    }
}

TEST_F(CliSearchTest, QueryUsageErrors)
{
    const std::string settings = dir.write("replidex.ini", "[SavedQuery]\r\nName0=a\r\nQuery0=\r\n");
    const Strings cases[] = {
        {"search", list, "--query", "name:a", "--rank", "0"},
        {"search", list, "--query", "name:a", "--no-net"},
        {"search", list, "--query", "name:a", "--side", "1"},
        {"search", list, "--query", "name:a", "--saved", "a", "--settings", settings},
        {"search", list, "--saved", "a", "--settings", settings, "--memo", "x"},
        {"search", list, "--explain"},
        {"search", list, "--settings", settings},
        {"search", list, "--query"},
        {"search", "--query", "name:a"},
    };
    for (const Strings& args : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_TRUE(r.out.empty()) << testing::PrintToString(args);
    }
}

TEST(CliSearch, ManyHitsInSlotOrderWithPageTabs)
{
    test::TempDir dir;
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    ReplayFolder* a = doc.root->addChild("a");
    ReplayFolder* b = a->addChild("b");
    for (int i = 0; i < 250; ++i) {
        ReplayFolder& f = i % 3 == 0 ? *doc.root : i % 3 == 1 ? *a : *b;
        ReplayEntry* e = test::AddEntry(doc, f, "/nowhere/", "r" + std::to_string(i) + ".RPD");
        e->info.emplace();
        e->info->infoFlags = kInfoNetMatch;
        e->info->p1.rank = static_cast<std::int16_t>(i % 19);
    }
    const std::string list = dir.file("many.rdx");
    ASSERT_TRUE(SaveListFile(list, doc));
    ReplayDocument loaded;
    ASSERT_EQ(OpenListFile(list, loaded), ListOpenResult::Opened);
    Strings expected;
    loaded.pool.forEach([&](ReplayEntry& e) { expected.push_back(HitLine(e)); });
    ASSERT_EQ(expected.size(), 250u);
    expected.push_back("{\"hits\":250,\"tabs\":[\"1～100\",\"101～200\",\"201～250\"]}");

    const CliResult r = RunCli({"search", list, "--rank", "0", "--include-missing"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), expected);
    // Without the option every file is missing: nothing is in scope.
    const CliResult none = RunCli({"search", list, "--rank", "0"});
    EXPECT_EQ(none.out, "{\"hits\":0,\"tabs\":[\"0\"]}\n");
}

}  // namespace
}  // namespace replidex
