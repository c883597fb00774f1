// The content index: its file read back whole or not at all, a write killed
// half way, and records taken only of files unchanged since they were listed.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/list/ContentIndex.h"
#include "core/replay/FileTime.h"
#include "core/settings/ContentIndexSettings.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

ContentIndex Sample(int n)
{
    ContentIndex index;
    for (int i = 0; i < n; ++i)
        index.put({"C:\\\x83\x8a\x83\x76\\" + std::to_string(i) + ".RPD", 24576u + i, 0x35836000 + i,
                   {0x1111u * i, ~0ull - i}});
    index.put({std::string(kContentIndexMaxPath, 'p'), ~0ull, -1, {}});
    return index;
}

std::vector<ContentRecord> Records(const ContentIndex& index)
{
    std::vector<ContentRecord> out;
    for (const ContentRecord* r : index.sorted()) out.push_back(*r);
    return out;
}

TEST(ContentIndex, ReadsBackWhatItWroteAndNothingOfADamagedFile)
{
    const ContentIndex index = Sample(5);
    const std::string bytes = index.toBytes();
    ContentIndex back;
    ASSERT_EQ(back.fromBytes(bytes), IndexReadResult::Read);
    EXPECT_EQ(Records(back), Records(index));

    std::vector<std::string> damaged;
    for (std::size_t cut = 0; cut < bytes.size(); cut += 7) damaged.push_back(bytes.substr(0, cut));
    for (std::size_t at = 0; at < bytes.size(); at += 5) {
        damaged.push_back(bytes);
        damaged.back()[at] = static_cast<char>(damaged.back()[at] ^ 0x40);
    }
    damaged.push_back(bytes + "x");
    for (const std::string& d : damaged) {
        back = Sample(1);
        EXPECT_EQ(back.fromBytes(d), IndexReadResult::Damaged) << d.size();
        EXPECT_EQ(back.size(), 0u);
    }
}

TEST(ContentIndex, RecordsSpeakForOneTimeAndMoveWithTheirEntry)
{
    ContentIndex index = Sample(2);
    const std::string path = index.sorted()[0]->path;
    const std::int32_t age = index.sorted()[0]->fileAge;
    EXPECT_NE(index.findCurrent(path, age), nullptr);
    EXPECT_EQ(index.findCurrent(path, age + 1), nullptr);
    EXPECT_FALSE(index.put({std::string(kContentIndexMaxPath + 1, 'p'), 1, 1, {}}));
    EXPECT_FALSE(index.put({"", 1, 1, {}}));
    ASSERT_TRUE(index.rename(path, "/new/a.RPD"));
    EXPECT_EQ(index.find(path), nullptr);
    EXPECT_EQ(index.findCurrent("/new/a.RPD", age)->size, 24576u);
}

#ifndef _WIN32
// A writer that dies after `chunks` chunks, as a killed program would.
int SaveAndDie(const ContentIndex& index, const std::string& path, int chunks)
{
    const pid_t child = fork();
    if (child == 0) {
        int written = 0;
        index.save(path, [&](int fd, const char* data, std::size_t size) -> long long {
            if (written++ == chunks) ::kill(::getpid(), SIGKILL);
            return WriteToFile(fd, data, size);
        });
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(ContentIndex, AKilledWriteLeavesTheOldOrTheNewIndexWhole)
{
    const test::TempDir dir;
    const std::string path = dir.file("data/replidex/content-index");
    const ContentIndex old = Sample(3);
    const ContentIndex next = Sample(3000);   // several chunks long
    ASSERT_TRUE(old.save(path));
    for (const int chunks : {0, 1, 2, 1000}) {
        SCOPED_TRACE(chunks);
        const int status = SaveAndDie(next, path, chunks);
        ASSERT_TRUE(WIFSIGNALED(status));
        ContentIndex read;
        ASSERT_EQ(read.load(path), IndexReadResult::Read);
        EXPECT_EQ(Records(read), Records(chunks == 1000 ? next : old));
        ASSERT_TRUE(old.save(path));
    }
}
#endif

TEST(ContentIndex, RecordsOnlyFilesUnchangedSinceListed)
{
    const test::TempDir dir;
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    const std::string same = dir.write("a.RPD", std::string(1000, 'a'));
    const std::string changed = dir.write("b.RPD", std::string(2000, 'b'));
    // The folder as the files' own paths spell it, with the system's separator.
    const std::string folder = Sjis(same.substr(0, same.size() - std::string("a.RPD").size()));
    test::AddEntry(doc, *doc.root, folder, "a.RPD", FileAgeOf(Sjis(same)));
    test::AddEntry(doc, *doc.root, folder, "a.RPD", FileAgeOf(Sjis(same)));   // one path, one job
    test::AddEntry(doc, *doc.root, folder, "b.RPD", FileAgeOf(Sjis(changed)) ^ 1);
    test::AddEntry(doc, *doc.root, folder, "gone.RPD", 0x35836000);

    ContentIndex index;
    const auto jobs = UnrecordedEntries(doc, index);
    ASSERT_EQ(jobs.size(), 3u);
    std::vector<std::string> skipped;
    const IndexRunStats stats = RecordJobs(jobs, index, {}, [&](const IndexJob& job) { skipped.push_back(job.path); });
    EXPECT_EQ(skipped, (std::vector<std::string>{folder + "b.RPD", folder + "gone.RPD"}));
    EXPECT_EQ(stats.recorded, 1);
    EXPECT_EQ(stats.skipped, 2);
    EXPECT_EQ(stats.bytesRead, 1000u + 2000u);
    const ContentRecord* r = index.find(Sjis(same));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, 1000u);
    EXPECT_EQ(r->hash, ContentHash128(std::string(1000, 'a')));
    EXPECT_EQ(UnrecordedEntries(doc, index).size(), 2u);
}

TEST(ContentIndex, AnAddHandsOnItsAnalysedFilesOnce)
{
    EntryPool pool;
    SharedTextTable folders;
    const auto add = [&](const std::string& name, std::int32_t age, int info) {
        ReplayEntry& e = *pool.allocate();
        e.folderPath = folders.get("C:\\in\\");
        e.fileName = name;
        e.fileAge = age;
        if (info > 0) e.info.emplace();
        if (info > 1) e.info->infoFlags |= kInfoFailed;
    };
    add("a.RPD", 7, 1);
    add("a.RPD", 7, 1);      // the same file twice
    add("b.RPD", 8, 0);      // never analysed (cancelled)
    add("c.RPD", 9, 2);      // its analysis failed
    add("d.RPD", kNoFileAge, 1);
    EXPECT_EQ(AnalysedFiles(pool), (std::vector<IndexJob>{{"C:\\in\\a.RPD", 7}}));
    // Before the analysis: every file with a time, analysed or not.
    EXPECT_EQ(CollectedFiles(pool),
              (std::vector<IndexJob>{{"C:\\in\\a.RPD", 7}, {"C:\\in\\b.RPD", 8}, {"C:\\in\\c.RPD", 9}}));
}

TEST(ContentIndex, AFinishedAddTakesOnlyTheEarlyRecordsOfWhatItLists)
{
    ContentIndex early;
    for (const auto& [path, age] : {std::pair{"a.RPD", 7}, {"b.RPD", 8}, {"c.RPD", 9}, {"d.RPD", 1}})
        early.put({path, 100, age, {static_cast<std::uint64_t>(age), 0}});
    ContentIndex into;
    into.put({"z.RPD", 1, 1, {}});
    // b changed since it was hashed early; e was never hashed; d is not listed.
    const std::vector<IndexJob> left =
        TakeEarlyRecords({{"a.RPD", 7}, {"b.RPD", 18}, {"c.RPD", 9}, {"e.RPD", 5}}, early, into);
    EXPECT_EQ(left, (std::vector<IndexJob>{{"b.RPD", 18}, {"e.RPD", 5}}));
    EXPECT_EQ(into.size(), 3u);
    ASSERT_NE(into.findCurrent("c.RPD", 9), nullptr);
    EXPECT_EQ(into.findCurrent("c.RPD", 9)->hash.low, 9u);
    EXPECT_EQ(into.find("b.RPD"), nullptr);
    EXPECT_EQ(into.find("d.RPD"), nullptr);
    EXPECT_EQ(early.size(), 2u);   // what was taken is gone from the early records
}

TEST(ContentIndex, RecordingIsOnUnlessTheSettingsSayOff)
{
    const test::TempDir dir;
    const struct {
        std::string ini;
        bool record;
    } kCases[] = {{"", true}, {"[ContentIndex]\nRecord=0\n", false}, {"[ContentIndex]\nRecord=1\n", true},
                  {"[ContentIndex]\nRecord=5\n", true}};
    for (const auto& c : kCases) {
        const std::string path = dir.write("replidex.ini", c.ini);
        ProfileFile file(path);
        EXPECT_EQ(LoadContentIndexSettings(file).record, c.record) << c.ini;
        SaveContentIndexSettings(file, {!c.record});
        EXPECT_EQ(LoadContentIndexSettings(file).record, !c.record) << c.ini;
    }
}

}  // namespace
}  // namespace replidex
