// replidex-cli analyse, run as a user would: files and folders in, one JSON
// object a line out, compared with what the files were built to say.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/CliRunner.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex::test {
namespace {

std::string Hex(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return out;
}

TEST(CliAnalyse, NetMatchPrintsEveryKeyInOrder)
{
    TempDir dir;
    ReplayDescription d = NetMatchDescription();
    d.p1.name = "\x82\xD5\x82\xE6\x8E\x71";   // ぷよ子
    d.p1.wins = 30;
    d.p1.losses = 10;
    d.p1.rank = 10;
    d.p1.character = 0x33;
    d.p2.name = "Abc";
    d.p2.character = 0x41;
    const BuiltReplay built = BuildReplay(d);
    ASSERT_TRUE(built.problem.empty()) << built.problem;
    const std::string path = dir.write("REPLAY00.RPD", built.bytes);
    const ReplayInfo want = ExpectedInfo(d);

    const CliResult r = RunCli({"analyse", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    const std::string p1 = "{\"name\": \"" + Hex(want.p1.nameText()) + "\", \"score\": " +
                           std::to_string(want.p1.score) + ", \"rank\": 10, \"wins\": 30, " +
                           "\"losses\": 10, \"character\": 51, \"isCom\": 0}";
    EXPECT_EQ(line.rfind("{\"path\": \"" + JsonEscaped(path) + "\", \"result\": 1, \"infoFlags\": " +
                             std::to_string(want.infoFlags) + ", \"p1\": " + p1 + ", \"p2\": ",
                         0),
              0u)
        << line;
    // Column texts in UTF-8, not escaped.
    EXPECT_NE(line.find("\"text1\": \"ぷよ子 しょだん 30/10(  0.75) [どんぐりがえる]\""),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("\"info\": \"ネットぷよ："), std::string::npos) << line;
}

TEST(CliAnalyse, FolderIsWalkedInSortedOrderTakingReplayExtensionsOnly)
{
    TempDir dir;
    const std::string good = BuildReplay(OfflineDescription(true)).bytes;
    dir.write("b/REPLAY01.rpd", good);
    dir.write("a/Z.DAT", good);
    dir.write("a/notes.txt", "x");
    dir.write("REPLAY00.RPD", "broken");
    const CliResult r = RunCli({"analyse", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    const std::string base = JsonEscaped(dir.path().string() + Slash());
    const std::string slash = JsonEscaped(Slash());
    EXPECT_EQ(lines[0].rfind("{\"path\": \"" + base + "REPLAY00.RPD\", \"result\": -1", 0), 0u);
    EXPECT_NE(lines[0].find("\"info\": \"解析エラー: Code:4 Line:327\", \"text1\": \"\", \"text2\": \"\"}"),
              std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("{\"path\": \"" + base + "a" + slash + "Z.DAT\", \"result\": 1", 0), 0u);
    EXPECT_EQ(lines[2].rfind("{\"path\": \"" + base + "b" + slash + "REPLAY01.rpd\", \"result\": 1", 0), 0u);
    EXPECT_NE(lines[2].find("\"info\": \"ひとぷよ\""), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find(" (COM)\"}"), std::string::npos) << lines[2];
}

// Folder by folder, whatever the separator's own byte: "a" before "a0"
// before "aB" on both systems, for a bare folder name as for a full path.
TEST(CliAnalyse, FolderOrderIsByComponentsOnEverySystem)
{
    TempDir dir;
    const std::string good = BuildReplay(OfflineDescription(true)).bytes;
    for (const char* name : {"nest/aB/x.rpd", "nest/a0/x.rpd", "nest/a/x.rpd", "nest/a.rpd"}) dir.write(name, good);
    const CliResult r = RunCli({"analyse", dir.file("nest")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    const std::string slash = JsonEscaped(Slash());
    const char* const expected[] = {"a", "a.rpd", "a0", "aB"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NE(lines[i].find(slash + expected[i] + (i == 1 ? "\"" : slash + "x.rpd\"")), std::string::npos)
            << i << ": " << lines[i];
}

TEST(CliAnalyse, MissingFileIsReportedNotFatal)
{
    const CliResult r = RunCli({"analyse", "/nonexistent/REPLAY00.RPD"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"result\": -1, \"infoFlags\": 32768"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"wins\": 1, \"losses\": 136"), std::string::npos) << r.out;
}

TEST(CliAnalyse, NameCutInsideACharacterShowsReplacementCharacter)
{
    TempDir dir;
    ReplayDescription d = NetMatchDescription();
    d.p1.name = "abcdefghijklmno\x82\xA0";   // 17 bytes: the cut leaves a lone lead byte
    const std::string path = dir.write("R.RPD", BuildReplay(d).bytes);
    const CliResult r = RunCli({"analyse", path});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"text1\": \"abcdefghijklmno\xEF\xBF\xBD "), std::string::npos) << r.out;
}

TEST(CliAnalyse, UsageAndHelp)
{
    EXPECT_EQ(RunCli({"analyse"}).status, 2);
    const CliResult help = RunCli({"analyse", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: replidex-cli analyse"), std::string::npos);
    EXPECT_EQ(RunCli({"no-such-command"}).status, 2);
}

}  // namespace
}  // namespace replidex::test
