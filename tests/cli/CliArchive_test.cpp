// replidex-cli archive over generated game folders: the JSON lines, the dry
// run against the real run, removal, the list file and the exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/file/NativeFiles.h"
#include "core/list/FolderOps.h"
#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"
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

class CliArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The trash of the removal lies in the test's own folder.
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);   // and so does the journal
        fs::create_directories(dir.path() / "data");
        for (const char* name : {"REPLAY00.RPD", "replay03.rpd", "REPLAY04.RPD"}) {
            ReplayDescription d = NetMatchDescription();
            d.p1.name = name;
            dir.write(std::string("PuyoF/") + name, BuildReplay(d).bytes);
        }
        dir.write("PuyoF/REPLAY07.RPD", "broken");
    }
    CliResult Archive(std::vector<std::string> more)
    {
        std::vector<std::string> args = {"archive", dir.file("PuyoF"), dir.file("archive"), "--folder-template", ""};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args);
    }
    TempDir dir;
};

TEST_F(CliArchive, DryRunLinesAreWhatTheRunThenDoesAndTheSecondRunFindsEverything)
{
    const CliResult planned = Archive({"--dry-run", "--remove-from-game", "--template", "%slot%_%1p%.rpd"});
    ASSERT_EQ(planned.status, 0) << planned.err;
    EXPECT_FALSE(fs::exists(dir.path() / "archive"));
    const CliResult done = Archive({"--remove-from-game", "--template", "%slot%_%1p%.rpd"});
    ASSERT_EQ(done.status, 0) << done.err;

    std::vector<Json> plannedLines = JsonLines(planned.out);
    const std::vector<Json> doneLines = JsonLines(done.out);
    ASSERT_EQ(plannedLines.size(), 5u) << planned.out;
    for (Json& line : plannedLines) {
        EXPECT_EQ(line.value("planned", false), true);
        line.erase("planned");
    }
    EXPECT_EQ(plannedLines, doneLines);
    const std::vector<std::pair<std::string, std::string>> slots = {
        {"REPLAY00.RPD", "00_REPLAY00.RPD.rpd"}, {"replay03.rpd", "03_replay03.rpd.rpd"},
        {"REPLAY04.RPD", "04_REPLAY04.RPD.rpd"}, {"REPLAY07.RPD", "20"}};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const Json& line = doneLines[i];
        std::vector<std::string> keys;
        for (const auto& item : line.items()) keys.push_back(item.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"slot", "state", "to", "removed", "reason"}));
        EXPECT_EQ(line["slot"], slots[i].first);
        EXPECT_EQ(line["state"], "archived");
        EXPECT_EQ(line["to"].get<std::string>().substr(0, slots[i].second.size()), slots[i].second);
        EXPECT_EQ(line["removed"], "trash");
        EXPECT_TRUE(line["reason"].is_null());
        EXPECT_TRUE(fs::exists(dir.path() / "archive" / line["to"].get<std::string>()));
    }
    EXPECT_EQ(doneLines[4], Json::parse(R"({"archived":4,"already":0,"failed":0,"removed":4})"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "PuyoF"));

    // The slots come back (the player copied them in again): all already archived.
    for (std::size_t i = 0; i < slots.size(); ++i)
        fs::copy_file(dir.path() / "archive" / doneLines[i]["to"].get<std::string>(), dir.path() / "PuyoF" / slots[i].first);
    const CliResult again = Archive({});
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(JsonLines(again.out).back(), Json::parse(R"({"archived":0,"already":4,"failed":0,"removed":0})"));
}

TEST_F(CliArchive, AFailedCopyIsReportedAndTheListFolderHoldsTheArchivedFiles)
{
    dir.write("archive/y", "a file where a folder should go");
    const std::string list = dir.file("list.rdx");
    const std::vector<std::string> args = {"archive", dir.file("PuyoF"), dir.file("archive"), "--list", list,
                                           "--into", "大会/春", "--folder-template", "y", "--template", "%slot%.RPD"};
    const CliResult r = RunCli(args);
    const std::vector<Json> lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out << r.err;
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines[0]["state"], "failed");
    EXPECT_FALSE(lines[0]["reason"].is_null());
    EXPECT_EQ(lines[4], Json::parse(R"({"archived":0,"already":0,"failed":4,"removed":0})"));
    EXPECT_EQ(test::ReadWholeFile(dir.file("archive/y")), "a file where a folder should go");

    fs::remove(dir.path() / "archive/y");
    const CliResult ok = RunCli(args);
    ASSERT_EQ(ok.status, 0) << ok.err;
    ReplayDocument doc;
    ASSERT_EQ(OpenListFileNative(list, doc), ListOpenResult::Opened);
    const ReplayFolder* year = FindChildFolder(FindChildFolder(FindChildFolder(doc.root, Sjis("大会")), Sjis("春")), "y");
    ASSERT_NE(year, nullptr);
    std::vector<std::string> names;
    for (const std::int32_t index : *year->entries) names.push_back(doc.pool.lookup(index)->fileName);
    ASSERT_EQ(names.size(), 4u);
    names.back() = names.back().substr(15);   // a failed analysis is named by its file time and slot
    EXPECT_EQ(names, (std::vector<std::string>{"00.RPD", "03.RPD", "04.RPD", "_REPLAY07.RPD"}));
}

// Folders given relative to where the command runs: the list still names
// the archived files by absolute paths, so that it works from anywhere.
TEST_F(CliArchive, RelativeFoldersGiveAListOfAbsolutePaths)
{
    const CliResult r = RunCliCommandLine("archive PuyoF archive --list list.rdx", dir.path().string());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    ReplayDocument doc;
    ASSERT_EQ(OpenListFileNative(dir.file("list.rdx"), doc), ListOpenResult::Opened);
    int entries = 0;
    doc.pool.forEach([&](const ReplayEntry& e) {
        ++entries;
        const fs::path path = FsPath(NativePathFromSjis(e.fullPath()));
        EXPECT_TRUE(path.is_absolute()) << e.fullPath();
        EXPECT_TRUE(fs::is_regular_file(path)) << e.fullPath();
    });
    EXPECT_EQ(entries, 4);
}

TEST_F(CliArchive, TheRemovalIsOneJournalEntryThatUndoBringsBack)
{
    const std::string before = ReadWholeFile(dir.file("PuyoF/replay03.rpd"));
    ASSERT_EQ(Archive({"--remove-from-game"}).status, 0);
    ASSERT_TRUE(fs::is_empty(dir.path() / "PuyoF"));

    const CliResult journal = RunCli({"journal"});
    ASSERT_EQ(journal.status, 0) << journal.err;
    const std::vector<Json> entries = JsonLines(journal.out);
    ASSERT_FALSE(entries.empty()) << journal.out;
    EXPECT_EQ(entries[0]["op"], "archive-remove");
    EXPECT_EQ(entries[0]["complete"], true);
    std::vector<std::string> removed;
    for (const Json& step : entries[0]["steps"]) {
        EXPECT_EQ(step["step"], "trash");
        removed.push_back(step["name"]);
    }
    EXPECT_EQ(removed, (std::vector<std::string>{"REPLAY00.RPD", "replay03.rpd", "REPLAY04.RPD", "REPLAY07.RPD"}));

    const CliResult undo = RunCli({"undo", dir.file("PuyoF")});
    ASSERT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_EQ(JsonLines(undo.out).back(), Json::parse(R"({"undone":4,"notUndone":0})"));
    EXPECT_EQ(ReadWholeFile(dir.file("PuyoF/replay03.rpd")), before);
    // Back in the game folder, each slot file is already archived.
    EXPECT_EQ(JsonLines(Archive({}).out).back(), Json::parse(R"({"archived":0,"already":4,"failed":0,"removed":0})"));
}

TEST_F(CliArchive, BadUsageAndAnUnreadableGameFolder)
{
    EXPECT_EQ(RunCli({"archive", dir.file("PuyoF")}).status, 2);
    EXPECT_EQ(RunCli({"archive", dir.file("PuyoF"), dir.file("a"), "--into", "x"}).status, 2);
    EXPECT_EQ(RunCli({"archive", dir.file("PuyoF"), dir.file("a"), "--template", "\xFF"}).status, 2);
    const CliResult missing = RunCli({"archive", dir.file("nothing"), dir.file("a")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
}

}  // namespace
}  // namespace replidex::test
