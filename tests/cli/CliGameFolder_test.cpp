// replidex-cli slots, send, renumber and clear over generated game folders,
// run as a user would; every line is read back as JSON.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

std::vector<Json> JsonLines(const std::string& out)
{
    std::vector<Json> lines;
    for (const std::string& line : SplitLines(out)) lines.push_back(Json::parse(line));
    return lines;
}

std::vector<std::string> Keys(const Json& object)
{
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

class CliGameFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir.path() / "PuyoF");
#ifndef _WIN32
        ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);   // the journal
#endif
    }

    static std::string ReplayBytes(const std::string& name)
    {
        ReplayDescription d = NetMatchDescription();
        d.p1.name = name;
        return BuildReplay(d).bytes;
    }
    std::string InGame(const std::string& name) { return dir.write("PuyoF/" + name, ReplayBytes(name)); }
    std::string Collected(const std::string& name) { return dir.write("c/" + name, ReplayBytes(name)); }
    std::string Game() const { return dir.file("PuyoF"); }
    // Name -> content of every item of the game folder.
    std::map<std::string, std::string> GameFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::directory_iterator(dir.path() / "PuyoF"))
            files[item.path().filename().string()] =
                item.is_directory() ? "<folder>" : ReadWholeFile(item.path().string());
        return files;
    }

    TempDir dir;
};

TEST_F(CliGameFolder, SlotsListsTakenSlotsWithTheFieldsOfAnalyse)
{
    InGame("REPLAY00.RPD");
    InGame("replay02.rpd");
    dir.write("PuyoF/Replay05.Rpd", "broken");
    InGame("match.rpd");
    InGame("REPLAY7.RPD");
    dir.write("PuyoF/notes.txt", "x");
    fs::create_directory(dir.path() / "PuyoF/REPLAY09.RPD");

    const CliResult r = RunCli({"slots", Game()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    const std::vector<std::pair<int, std::string>> taken = {{0, "REPLAY00.RPD"}, {2, "replay02.rpd"},
                                                            {5, "Replay05.Rpd"}};
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const Json& line = lines[i];
        EXPECT_EQ(line["slot"], taken[i].first);
        EXPECT_EQ(line["fileName"], taken[i].second);
        // The rest is exactly what analyse prints for that file.
        const CliResult analysed = RunCli({"analyse", Game() + Slash() + taken[i].second});
        const Json expected = JsonLines(analysed.out).at(0);
        std::vector<std::string> keys = {"slot", "fileName"};
        for (const std::string& key : Keys(expected)) keys.push_back(key);
        EXPECT_EQ(Keys(line), keys);
        for (const auto& item : expected.items()) EXPECT_EQ(line[item.key()], item.value()) << item.key();
    }
    EXPECT_EQ(lines[0]["result"], 1);
    EXPECT_EQ(lines[2]["result"], -1);
    EXPECT_EQ(lines[3].dump(), R"({"taken":3,"free":97,"otherRpd":2})");
    // Texts print as UTF-8, not as escapes.
    EXPECT_NE(r.out.find("ネットぷよ"), std::string::npos);
    EXPECT_FALSE(std::regex_search(r.out, std::regex(R"((^|[^\\])(\\\\)*\\u[0-9a-fA-F]{4})")));

    EXPECT_EQ(RunCli({"slots", dir.file("missing")}).status, 1);
    EXPECT_EQ(RunCli({"slots"}).status, 2);
    const CliResult help = RunCli({"slots", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("replidex-cli slots"), std::string::npos);
}

TEST_F(CliGameFolder, SendNormalTakesAnalysedGameNamesAndKeepsTheHoldersName)
{
    InGame("REPLAY07.RPD");
    const std::string lower = Collected("replay07.rpd");
    const std::string match = Collected("match.rpd");
    const std::string fresh = Collected("REPLAY03.RPD");
    const std::string broken = dir.write("c/REPLAY04.RPD", "not a replay");
    const std::string missing = dir.file("c/REPLAY05.RPD");
    const CliResult r = RunCli({"send", Game(), lower, match, fresh, broken, missing});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = SplitLines(r.out);
    const std::vector<std::string> expected = {
        R"({"file":")" + JsonEscaped(lower) + R"(","to":"REPLAY07.RPD"})",
        R"({"file":")" + JsonEscaped(match) + R"(","skipped":"not a game replay file name"})",
        R"({"file":")" + JsonEscaped(fresh) + R"(","to":"REPLAY03.RPD"})",
        R"({"file":")" + JsonEscaped(broken) + R"(","skipped":"analysis failed"})",
        R"({"file":")" + JsonEscaped(missing) + R"(","skipped":"no such file"})",
        R"({"copied":2,"skipped":3,"failed":0})",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY03.RPD", ReplayBytes("REPLAY03.RPD")},
                                                               {"REPLAY07.RPD", ReplayBytes("replay07.rpd")}}));
}

TEST_F(CliGameFolder, SendRenamedFillsFreeSlotsAndReportsLeftovers)
{
    for (const char* name : {"REPLAY00.RPD", "REPLAY02.RPD", "REPLAY05.RPD"}) InGame(name);
    const std::string a = Collected("a.rpd");
    const std::string b = Collected("b.rpd");
    CliResult r = RunCli({"send", Game(), "--renamed", a, b});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{R"({"file":")" + JsonEscaped(a) + R"(","to":"REPLAY01.RPD"})",
                                                           R"({"file":")" + JsonEscaped(b) + R"(","to":"REPLAY03.RPD"})",
                                                           R"({"copied":2,"skipped":0,"failed":0})"}));

    // One slot left for two files: the second fails, exit 1.
    for (int n = 4; n < 100; ++n)
        if (n != 5 && n != 60) dir.write("PuyoF/REPLAY" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".RPD", "x");
    r = RunCli({"send", "--renamed", Game(), a, b});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{R"({"file":")" + JsonEscaped(a) + R"(","to":"REPLAY60.RPD"})",
                                                           R"({"file":")" + JsonEscaped(b) + R"(","failed":"no free slot"})",
                                                           R"({"copied":1,"skipped":0,"failed":1})"}));

    // No slot at all: the information text, nothing copied.
    const auto before = GameFiles();
    r = RunCli({"send", Game(), "--renamed", a});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(r.err, "00～99までの全てのインデックスが使用されています。\n追加転送は実行できません。\n");
    EXPECT_EQ(GameFiles(), before);

    EXPECT_EQ(RunCli({"send", Game()}).status, 2);
}

TEST_F(CliGameFolder, RenumberClosesGapsInOrder)
{
    for (const char* name : {"REPLAY01.RPD", "replay03.rpd", "REPLAY10.RPD", "other.rpd"}) InGame(name);
    const CliResult r = RunCli({"renumber", Game()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{R"({"from":"REPLAY01.RPD","to":"REPLAY00.RPD"})",
                                                           R"({"from":"replay03.rpd","to":"REPLAY01.RPD"})",
                                                           R"({"from":"REPLAY10.RPD","to":"REPLAY02.RPD"})",
                                                           R"({"renamed":3,"failed":0})"}));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY00.RPD", ReplayBytes("REPLAY01.RPD")},
                                                               {"REPLAY01.RPD", ReplayBytes("replay03.rpd")},
                                                               {"REPLAY02.RPD", ReplayBytes("REPLAY10.RPD")},
                                                               {"other.rpd", ReplayBytes("other.rpd")}}));
    // Nothing left to do.
    EXPECT_EQ(RunCli({"renumber", Game()}).out, "{\"renamed\":0,\"failed\":0}\n");
}

TEST_F(CliGameFolder, ClearRemovesRpdFilesOnly)
{
    for (const char* name : {"REPLAY00.RPD", "b.rpd", "A.Rpd"}) InGame(name);
    dir.write("PuyoF/notes.txt", "keep");
    fs::create_directory(dir.path() / "PuyoF/folder.RPD");

    EXPECT_EQ(RunCli({"clear", Game()}).status, 2);
    EXPECT_EQ(RunCli({"clear", Game(), "--trash", "--delete"}).status, 2);
    EXPECT_EQ(GameFiles().size(), 5u);

    const CliResult r = RunCli({"clear", Game(), "--delete"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{R"({"file":"A.Rpd","removed":"delete"})",
                                                           R"({"file":"b.rpd","removed":"delete"})",
                                                           R"({"file":"REPLAY00.RPD","removed":"delete"})",
                                                           R"({"removed":3,"failed":0})"}));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"folder.RPD", "<folder>"}, {"notes.txt", "keep"}}));
}

#ifndef _WIN32  // the freedesktop trash; the recycle bin has its own test
TEST_F(CliGameFolder, ClearToTheTrash)
{
    std::optional<std::string> saved;
    if (const char* value = std::getenv("XDG_DATA_HOME")) saved = value;
    ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    InGame("REPLAY00.RPD");
    const CliResult r = RunCli({"clear", "--trash", Game()});
    if (saved) ::setenv("XDG_DATA_HOME", saved->c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");

    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{R"({"file":"REPLAY00.RPD","removed":"trash"})",
                                                           R"({"removed":1,"failed":0})"}));
    EXPECT_TRUE(fs::exists(dir.path() / "data/Trash/files/REPLAY00.RPD"));
    EXPECT_TRUE(GameFiles().empty());
}

// The preview is the plan that runs, the journal records it, and undo gives
// the folder back.
TEST_F(CliGameFolder, DryRunPrintsTheRealRunsLinesAndUndoRestoresTheFolder)
{
    ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    struct Case {
        std::vector<std::string> args;
        const char* op;
    };
    const std::vector<Case> cases = {
        {{"send", Game(), Collected("REPLAY01.RPD"), Collected("REPLAY04.RPD"), Collected("x.rpd")}, "send"},
        {{"send", "--renamed", Game(), Collected("REPLAY01.RPD"), Collected("x.rpd")}, "send-renamed"},
        {{"renumber", Game()}, "renumber"},
        {{"clear", Game(), "--trash"}, "clear"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        fs::remove_all(dir.path() / "PuyoF");
        fs::create_directories(dir.path() / "PuyoF");
        InGame("REPLAY01.RPD");
        InGame("replay03.rpd");
        InGame("REPLAY08.RPD");
        dir.write("PuyoF/notes.txt", "keep");
        const auto before = GameFiles();
        std::vector<std::string> dry = c.args;
        dry.push_back("--dry-run");
        const CliResult preview = RunCli(dry);
        EXPECT_EQ(GameFiles(), before);
        const CliResult run = RunCli(c.args);
        ASSERT_EQ(run.status, preview.status) << run.err;
        std::vector<Json> planned = JsonLines(preview.out);
        for (Json& line : planned) {
            EXPECT_EQ(line["planned"], true);
            line.erase("planned");
        }
        EXPECT_EQ(planned, JsonLines(run.out));
        EXPECT_NE(GameFiles(), before);

        const std::vector<Json> journal = JsonLines(RunCli({"journal", "--last", "1"}).out);
        ASSERT_EQ(journal.size(), 1u);
        EXPECT_EQ(journal[0]["op"], c.op);
        EXPECT_EQ(journal[0]["complete"], true);
        EXPECT_EQ(Keys(journal[0]), (std::vector<std::string>{"id", "op", "folder", "time", "complete", "steps"}));

        const CliResult undo = RunCli({"undo", Game()});
        EXPECT_EQ(undo.status, 0) << undo.out;
        EXPECT_EQ(JsonLines(undo.out).back()["notUndone"], 0);
        EXPECT_EQ(GameFiles(), before);
        EXPECT_EQ(RunCli({"undo", Game()}).status, 1);   // nothing left to undo
    }
}

TEST_F(CliGameFolder, UndoOfAPermanentDeleteSaysSoAndFails)
{
    InGame("REPLAY02.RPD");
    ASSERT_EQ(RunCli({"clear", Game(), "--delete"}).status, 0);
    const CliResult undo = RunCli({"undo", Game()});
    EXPECT_EQ(undo.status, 1);
    EXPECT_EQ(SplitLines(undo.out),
              (std::vector<std::string>{R"({"step":"delete","name":"REPLAY02.RPD","undone":false,"reason":"permanent"})",
                                        R"({"undone":0,"notUndone":1})"}));
}
#endif

}  // namespace
}  // namespace replidex::test
