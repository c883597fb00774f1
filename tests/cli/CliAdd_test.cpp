// replidex-cli add, run as the real program over real folders and list files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/list/FolderOps.h"
#include "core/list/ListFile.h"
#include "support/CliRunner.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempDir;

using test::ShellQuote;
const auto& Quote = ShellQuote;

test::CliResult RunIn(const TempDir& dir, const std::string& args)
{
    return test::RunCliCommandLine(args, dir.path().string());
}


std::string Summary(int found, int added, int refreshed, int unchanged, int skipped, int failed)
{
    return "found " + std::to_string(found) + " files: " + std::to_string(added) + " added, " +
           std::to_string(refreshed) + " refreshed, " + std::to_string(unchanged) +
           " unchanged, " + std::to_string(skipped) + " skipped, " + std::to_string(failed) +
           " failed analyses\n";
}

std::string ValidReplay() { return test::BuildReplay(test::NetMatchDescription()).bytes; }

std::unique_ptr<ReplayDocument> Open(const std::string& path)
{
    auto doc = std::make_unique<ReplayDocument>();
    EXPECT_EQ(OpenListFileNative(path, *doc), ListOpenResult::Opened);
    return doc;
}

const ReplayEntry* EntryAt(const ReplayDocument& doc, const ReplayFolder* folder, std::size_t i)
{
    if (!folder || !folder->entries || i >= folder->entries->size()) return nullptr;
    return doc.pool.lookup((*folder->entries)[i]);
}

TEST(CliAdd, NewListThenAgainThenChanged)
{
    TempDir dir;
    dir.write("replays/a.RPD", ValidReplay());
    dir.write("replays/sub/b.dat", "garbage");
    dir.write("replays/notes.txt", "x");
    fs::create_directories(dir.path() / "replays/empty");
    const std::string single = dir.write("single.rpd", ValidReplay());
    const std::string list = dir.file("my.rdx");

    // Relative paths are stored as absolute ones.
    test::CliResult r = RunIn(dir, "add my.rdx replays/ single.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Summary(3, 3, 0, 0, 0, 1));
    {
        auto doc = Open(list);
        ASSERT_NE(doc->root, nullptr);
        EXPECT_EQ(doc->root->name, "Root");
        const ReplayEntry* s = EntryAt(*doc, doc->root, 0);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->fullPath(), single);
        ASSERT_TRUE(s->info.has_value());
        EXPECT_FALSE(s->info->failed());
        const ReplayFolder* replays = FindChildFolder(doc->root, "replays");
        ASSERT_NE(replays, nullptr);
        EXPECT_NE(FindChildFolder(replays, "empty"), nullptr);
        const ReplayEntry* b = EntryAt(*doc, FindChildFolder(replays, "sub"), 0);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->folderPath, dir.file("replays/sub") + test::Slash());
        EXPECT_TRUE(b->info->failed());

        // A memo to see that it survives a refresh.
        doc->pool.lookup(doc->root->entries->at(0))->memo = "keep me";
        ASSERT_TRUE(SaveListFileNative(list, *doc));
    }
    const std::string before = ReadWholeFile(list);
    const auto mtime = fs::last_write_time(list);

    r = RunIn(dir, "add " + Quote(list) + " " + Quote(dir.file("replays")) + " single.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Summary(3, 0, 0, 3, 0, 1));
    EXPECT_EQ(ReadWholeFile(list), before);
    EXPECT_EQ(fs::last_write_time(list), mtime);   // nothing changed: not written

    fs::last_write_time(single, fs::file_time_type::clock::now() - std::chrono::hours(3));
    r = RunIn(dir, "add my.rdx single.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Summary(1, 0, 1, 0, 0, 0));
    auto doc = Open(list);
    ASSERT_EQ(doc->root->entries->size(), 1u);
    EXPECT_EQ(EntryAt(*doc, doc->root, 0)->memo, "keep me");
}

TEST(CliAdd, IntoCreatesTheFolderPath)
{
    TempDir dir;
    dir.write("r/x.rpd", ValidReplay());
    test::CliResult r = RunIn(dir, "add l.rdx --into A/B//C/ r/x.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunIn(dir, "add l.rdx --into=A/D r/x.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Summary(1, 1, 0, 0, 0, 0));
    auto doc = Open(dir.file("l.rdx"));
    const ReplayFolder* a = FindChildFolder(doc->root, "A");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->children.size(), 2u);
    EXPECT_NE(EntryAt(*doc, FindChildFolder(FindChildFolder(a, "B"), "C"), 0), nullptr);
    EXPECT_NE(EntryAt(*doc, FindChildFolder(a, "D"), 0), nullptr);
    EXPECT_FALSE(doc->root->entries.has_value());
}

TEST(CliAdd, SkippedFilesAreCountedAndExplained)
{
    TempDir dir;
    dir.write("s/ok.rpd", ValidReplay());
    dir.write("s/caf\xC3\xA9.rpd", ValidReplay());
    const test::CliResult r = RunIn(dir, "add l.rdx s missing.rpd s/ok.rpd");
    ASSERT_EQ(r.status, 0) << r.err;
    // s/ok.rpd given again lands in the root folder, a second place.
    EXPECT_EQ(r.out, Summary(3, 2, 0, 0, 1, 0));
    EXPECT_NE(r.err.find("missing.rpd"), std::string::npos);
    EXPECT_NE(r.err.find("1個のファイル"), std::string::npos) << r.err;
}

#ifndef _WIN32  // Windows' code page 932 refuses the other forms outright
TEST(CliAdd, LookAlikeNamesAreAddedAndFoundAgain)
{
    TempDir dir;
    dir.write("Wave〜Dash/第1〜3回.rpd", ValidReplay());
    dir.write("Wave〜Dash/a‖b−c—d¢£¬.rpd", ValidReplay());
    test::CliResult r = RunIn(dir, "add list〜.rdx Wave〜Dash");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Summary(2, 2, 0, 0, 0, 0));
    r = RunIn(dir, "add list〜.rdx Wave〜Dash");   // found again: unchanged
    EXPECT_EQ(r.out, Summary(2, 0, 0, 2, 0, 0));
    EXPECT_FALSE(fs::exists(dir.file("list～.rdx")));
}
#endif

TEST(CliAdd, ListThatCannotBeReadOrWritten)
{
    TempDir dir;
    dir.write("r/x.rpd", ValidReplay());
    const std::string bad = dir.write("bad.rdx", std::string("\x01\x00\x00\x00", 4));
    test::CliResult r = RunIn(dir, "add bad.rdx r");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadWholeFile(bad), std::string("\x01\x00\x00\x00", 4));

    r = RunIn(dir, "add r r/x.rpd");   // a folder is no list file
    EXPECT_EQ(r.status, 1);

    r = RunIn(dir, "add no/such/folder/l.rdx r");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot be written"), std::string::npos);
}

TEST(CliAdd, Usage)
{
    TempDir dir;
    struct Case {
        const char* args;
        int status;
    } const cases[] = {
        {"add", 2},
        {"add l.rdx", 2},
        {"add l.rdx --into", 2},
        {"add --bogus l.rdx x", 2},
        {"add l.rdx --into 'caf\xC3\xA9' x", 2},
        {"add --help", 0},
        {"add l.rdx x -h", 0},
    };
    for (const Case& c : cases) {
        const test::CliResult r = RunIn(dir, c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        if (c.status == 0) {
            EXPECT_NE(r.out.find("usage: replidex-cli add"), std::string::npos) << c.args;
        }
    }
    EXPECT_FALSE(fs::exists(dir.path() / "l.rdx"));
    const test::CliResult help = RunIn(dir, "--help");
    EXPECT_NE(help.out.find("add"), std::string::npos);
}

}  // namespace
}  // namespace replidex
