// replidex-cli search, run as the real program over list files written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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
