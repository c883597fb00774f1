// Archiving the game folder's slot files: names, the plan, the run, removal
// and the list folder, over generated game and archive folders.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/archive/ArchiveNames.h"
#include "core/archive/ArchivePlan.h"
#include "core/archive/ArchiveToList.h"
#include "core/list/FolderOps.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ArchiveNames, UnsafeCharactersLengthsAndNumbers)
{
    const std::string longName(300, 'a');
    const struct {
        std::string in;
        bool replayFile;
        int number;
        std::string out;   // UTF-8
    } cases[] = {
        {"a<b>c:d\"e/f\\g|h?i*j.RPD", true, 1, "a_b_c_d_e_f_g_h_i_j.RPD"},
        {"tab\tname", true, 1, "tab_name.RPD"},
        {"match.dat", true, 1, "match.dat"},
        {"match", true, 3, "match (3).RPD"},
        {"dots...", false, 1, "dots___"},
        {"trail .RPD", true, 1, "trail_.RPD"},
        {"CON", false, 1, "_CON"},
        {"com1.RPD", true, 1, "_com1.RPD"},
        {"", false, 1, "_"},
        {std::string("\x82\xA0") + "x", true, 1, "あx.RPD"},
        {std::string("bad\x80\xFF") + "\x82", true, 1, "bad___.RPD"},     // no Shift-JIS characters
        {Sjis("表") , false, 1, "表"},                                     // trail byte 0x5C is no delimiter
        {longName, true, 12, std::string(200 - 9, 'a') + " (12).RPD"},
    };
    for (const auto& c : cases) {
        const SafeName name = MakeSafeName(c.in, c.replayFile, c.number);
        EXPECT_EQ(name.native, c.out) << c.in;
        EXPECT_EQ(Cp932ToUtf8Lossy(name.sjis), name.native) << c.in;
        EXPECT_LE(name.native.size(), kMaxArchiveNameBytes);
    }
    // Two-byte characters are never cut in half, and 200 bytes hold in UTF-8 too.
    std::string kana;
    for (int i = 0; i < 150; ++i) kana += Sjis("ぷ");
    const SafeName cut = MakeSafeName(kana, true);
    std::string back;
    EXPECT_TRUE(Utf8ToCp932(cut.native, back));
    EXPECT_LE(cut.native.size(), kMaxArchiveNameBytes);
    EXPECT_GT(cut.native.size(), kMaxArchiveNameBytes - 4);
}

TEST(ArchiveNames, FieldsOfNetOfflineAndFailedReplays)
{
    std::tm t{};
    t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 3;
    ReplayInfo net;
    net.infoFlags = kInfoNetMatch;
    net.p1.setName(Sjis("ぷよ太郎"));
    net.p2.setName("bob");
    net.p1.score = 3, net.p2.score = 1;
    net.p1.character = 0x30, net.p2.character = 0x49;
    ReplayInfo com;
    com.infoFlags = kInfoOfflineMatch;
    com.p2.isCom = 1;
    ReplayInfo two;
    two.infoFlags = kInfoOfflineMatch;
    ReplayInfo failed;
    failed.infoFlags = kInfoFailed;
    const std::string all = "%date%|%1p%|%2p%|%chara1%|%chara2%|%score%|%slot%|%yyyy%-%mm%-%dd%|%x%";
    const struct {
        const ReplayInfo* info;
        std::string out;
    } cases[] = {
        {&net, "20261208-090503|ぷよ太郎|bob|アミティ|タルタル|3-1|07|2026-12-08|%x%"},
        {&com, "20261208-090503|1P|COM|ER|ER||07|2026-12-08|%x%"},
        {&two, "20261208-090503|1P|2P|ER|ER||07|2026-12-08|%x%"},
        {&failed, "20261208-090503||||||07|2026-12-08|%x%"},
        {nullptr, "20261208-090503||||||07|2026-12-08|%x%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp932ToUtf8Lossy(ExpandTemplate(all, FieldsOf(c.info, t, 7))), c.out);
    // A "/" in a value is no folder break; empty parts are dropped.
    net.p1.setName("a/b");
    std::vector<std::string> parts;
    for (const SafeName& part : FolderNamesOf("%yyyy%//%1p%/%score%", FieldsOf(&net, t, 7))) parts.push_back(part.native);
    EXPECT_EQ(parts, (std::vector<std::string>{"2026", "a_b", "3-1"}));
}

class ArchiveRun : public ::testing::Test {
protected:
    static std::string Replay(const std::string& p1, int score1, std::uint64_t seed = 0)
    {
        test::ReplayDescription d = test::NetMatchDescription();
        d.p1.name = p1;
        d.score1 = score1;
        d.paddingSeed = seed;
        return test::BuildReplay(d).bytes;
    }
    // Writes a slot file with the file time 2026-12-08 09:05:03 (local).
    std::string InGame(const std::string& name, const std::string& bytes, int minute = 5)
    {
        const std::string path = dir.write("PuyoF/" + name, bytes);
        std::tm t{};
        t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 9, t.tm_min = minute, t.tm_sec = 3;
        t.tm_isdst = -1;
        const auto when = std::chrono::system_clock::from_time_t(std::mktime(&t));
        fs::last_write_time(path, std::chrono::file_clock::from_sys(when));
        return path;
    }
    std::string Game() const { return dir.file("PuyoF"); }
    std::string Archive() const { return dir.file("archive"); }
    // Relative path -> bytes of every file under the archive folder.
    std::map<std::string, std::string> ArchiveFiles() const
    {
        std::map<std::string, std::string> files;
        if (!fs::exists(Archive())) return files;
        for (const auto& item : fs::recursive_directory_iterator(Archive()))
            if (item.is_regular_file())
                files[fs::relative(item.path(), Archive()).generic_string()] = test::ReadWholeFile(item.path().string());
        return files;
    }
    static std::vector<std::string> Lines(const std::vector<ArchiveOutcome>& outcomes)
    {
        std::vector<std::string> lines;
        const char* states[] = {"archived", "already", "failed"};
        for (const ArchiveOutcome& o : outcomes)
            lines.push_back(o.fileName + " " + states[static_cast<int>(o.state)] + " " + o.relative +
                            (o.removed != RemovalKind::None ? " removed" : ""));
        return lines;
    }

    TempDir dir;
};

TEST_F(ArchiveRun, PlanAndOutcomePerSlotFileAndASecondRunArchivesNothing)
{
    InGame("REPLAY00.RPD", Replay("alice", 3));
    InGame("replay02.rpd", Replay("alice", 3, 7));             // same date and names, other bytes
    InGame("Replay05.Rpd", "not a replay");                    // analysis fails
    InGame("REPLAY09.RPD", Replay("a?b*", 1));                 // a name needing replacement
    InGame("REPLAY11.RPD", Replay("alice", 3));                // the same bytes as REPLAY00
    InGame("match.rpd", Replay("other", 0));                   // no slot file
    dir.write("archive/old/kept under another name.RPD", Replay("carol", 2));
    InGame("REPLAY12.RPD", Replay("carol", 2));

    const ArchivePlan plan = PlanArchive(Game(), Archive(), {});
    const std::vector<std::string> expected = {
        "REPLAY00.RPD archived 2026-12/20261208-090503_alice_vs_さかな好き.RPD",
        "replay02.rpd archived 2026-12/20261208-090503_alice_vs_さかな好き (2).RPD",
        "Replay05.Rpd archived 2026-12/20261208-090503_REPLAY05.RPD",
        "REPLAY09.RPD archived 2026-12/20261208-090503_a_b__vs_さかな好き.RPD",
        "REPLAY11.RPD already 2026-12/20261208-090503_alice_vs_さかな好き.RPD",
        "REPLAY12.RPD already old/kept under another name.RPD",
    };
    const std::vector<std::string> planned = Lines(PlannedOutcomes(plan, {}));
    EXPECT_EQ(planned, expected);
    EXPECT_TRUE(ArchiveFiles().size() == 1) << "planning writes nothing";

    const std::vector<ArchiveOutcome> run = RunArchive(plan, {});
    EXPECT_EQ(Lines(run), planned);
    const auto files = ArchiveFiles();
    EXPECT_EQ(files.size(), 5u);
    EXPECT_EQ(files.at("2026-12/20261208-090503_REPLAY05.RPD"), "not a replay");
    EXPECT_EQ(files.at("2026-12/20261208-090503_alice_vs_さかな好き (2).RPD"), Replay("alice", 3, 7));

    const std::vector<ArchiveOutcome> again = RunArchive(PlanArchive(Game(), Archive(), {}), {});
    const ArchiveCounts counts = CountOutcomes(again);
    EXPECT_EQ(counts.archived, 0);
    EXPECT_EQ(counts.already, 6);
    EXPECT_EQ(ArchiveFiles(), files);
}

TEST_F(ArchiveRun, ASlotRewrittenAfterThePlanIsNeitherArchivedStaleNorRemoved)
{
    InGame("REPLAY00.RPD", Replay("alice", 3));
    InGame("REPLAY01.RPD", Replay("bob", 1));
    const ArchivePlan plan = PlanArchive(Game(), Archive(), {});
    InGame("REPLAY01.RPD", Replay("bob", 2));   // the game reused the slot
    ArchiveRunOptions options;
    options.removeFromGame = true;
    const std::vector<ArchiveOutcome> run = RunArchive(plan, options);
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[0].removed, RemovalKind::Delete);
    EXPECT_EQ(run[1].state, ArchiveState::Failed);
    EXPECT_EQ(run[1].reason, "the slot file changed while it was copied");
    EXPECT_EQ(test::ReadWholeFile(dir.file("PuyoF/REPLAY01.RPD")), Replay("bob", 2));
    const auto files = ArchiveFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.begin()->second, Replay("alice", 3));
}

TEST_F(ArchiveRun, RemovalOnlyAfterAWholeCopyAndNeverOfTheOnlyCopy)
{
    InGame("REPLAY00.RPD", Replay("alice", 3));
    InGame("REPLAY01.RPD", Replay("bob", 1));
    int trashed = 0;
    ArchiveRunOptions options;
    options.removeFromGame = true;
    options.trash = [&trashed](const std::string& path, std::error_code&) {
        ++trashed;
        fs::remove(path);
        return TrashResult::Trashed;
    };
    const std::vector<ArchiveOutcome> run = RunArchive(PlanArchive(Game(), Archive(), {}), options);
    EXPECT_EQ(CountOutcomes(run).removed, 2);
    EXPECT_EQ(trashed, 2);
    EXPECT_FALSE(fs::exists(dir.path() / "PuyoF/REPLAY00.RPD"));
    EXPECT_EQ(ArchiveFiles().size(), 2u);

    // The archived copy must hold the slot's bytes, and must not be the slot itself.
    const std::string slot = InGame("REPLAY03.RPD", Replay("carol", 1));
    const std::string other = dir.write("copy.RPD", Replay("carol", 2));
    const std::string same = dir.write("same.RPD", Replay("carol", 1));
    const struct {
        std::string copy;
        RemovalKind kind;
    } cases[] = {{other, RemovalKind::None}, {slot, RemovalKind::None}, {dir.file("missing"), RemovalKind::None},
                 {same, RemovalKind::Delete}};
    for (const auto& c : cases) {
        const RemovalResult r = RemoveArchivedSlot(Game(), "REPLAY03.RPD", c.copy, true, {});
        EXPECT_EQ(r.kind, c.kind) << c.copy << " " << r.reason;
        EXPECT_EQ(fs::exists(slot), c.kind == RemovalKind::None);
    }
    EXPECT_EQ(RemoveArchivedSlot(Game(), "../copy.RPD", same, false, {}).kind, RemovalKind::None);

    // An archive folder holding the game folder: a slot is never "already" by itself.
    InGame("REPLAY04.RPD", Replay("dave", 1));
    const ArchivePlan inside = PlanArchive(Game(), dir.path().string(), {});
    ASSERT_EQ(inside.files.size(), 1u);
    EXPECT_EQ(inside.files[0].state, ArchiveState::Archive);
}

TEST_F(ArchiveRun, CopiesAreFoundAnywhereButInHiddenFoldersAndTheFirstInPathOrderIsNamed)
{
    const std::string alice = Replay("alice", 3), bob = Replay("bob", 1), carol = Replay("carol", 1);
    std::string bobLike = bob;   // the same size, other bytes
    bobLike.back() ^= 1;
    InGame("REPLAY00.RPD", alice);
    InGame("REPLAY01.RPD", bob);
    InGame("REPLAY02.RPD", carol);
    InGame("REPLAY03.RPD", "not a replay");
    dir.write("archive/b/x.RPD", alice);
    dir.write("archive/a/deep/y.RPD", alice);
    dir.write("archive/.hidden/z.RPD", bob);
    dir.write("archive/.z.RPD.tmp-abcdef", bob);
    dir.write("archive/c/like.RPD", bobLike);
    std::vector<std::string> expected = {
        "REPLAY00.RPD already a/deep/y.RPD",
        "REPLAY01.RPD archived 2026-12/20261208-090503_bob_vs_さかな好き.RPD",
        "REPLAY02.RPD archived 2026-12/20261208-090503_carol_vs_さかな好き.RPD",
        "REPLAY03.RPD archived 2026-12/20261208-090503_REPLAY03.RPD",
    };
#ifndef _WIN32
    // A link to a file counts as that file; a link to a folder is not entered.
    fs::create_symlink(dir.write("outside/c.RPD", carol), dir.file("archive/c.RPD"));
    fs::create_directory_symlink(dir.file("outside"), dir.file("archive/linked"));
    dir.write("outside/bob.RPD", bob);
    expected[2] = "REPLAY02.RPD already c.RPD";
#endif
    const std::vector<ArchiveOutcome> run = RunArchive(PlanArchive(Game(), Archive(), {}), {});
    EXPECT_EQ(Lines(run), expected);

    // The list takes the copies with the analysis the run made of their bytes.
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    EntryPool importPool;
    ASSERT_EQ(AddArchivedToList(importPool, doc, doc.root, run).merge, kMergeDone);
    ASSERT_EQ(doc.root->children.size(), 1u);
    const ReplayFolder* month = doc.root->children[0].get();
    ASSERT_TRUE(month->entries && month->entries->size() == (expected[2].find("already") != std::string::npos ? 2u : 3u));
    for (const std::int32_t index : *month->entries) {
        const ReplayEntry* entry = doc.pool.lookup(index);
        ReplayInfo fresh;
        AnalyseReplay(entry->fullPath(), fresh);
        EXPECT_EQ(entry->info, fresh) << entry->fileName;
    }
}

TEST_F(ArchiveRun, TheListFolderHoldsExactlyTheArchivedFilesInTheArchiveSubFolders)
{
    InGame("REPLAY00.RPD", Replay("alice", 3));
    InGame("REPLAY01.RPD", Replay("bob", 1), 7);
    dir.write("archive/x.RPD", Replay("bob", 1));   // REPLAY01 is already there
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    bool created = false;
    ReplayFolder* target = EnsureFolderPath(doc.root, {DefaultArchiveListFolder()}, created);
    EXPECT_TRUE(created);
    EntryPool importPool;
    for (int round = 0; round < 2; ++round) {
        const std::vector<ArchiveOutcome> run = RunArchive(PlanArchive(Game(), Archive(), {}), {});
        const ArchiveListResult added = AddArchivedToList(importPool, doc, target, run);
        EXPECT_EQ(added.merge, kMergeDone);
        EXPECT_EQ(added.stats.added, round == 0 ? 1 : 0);
        EXPECT_EQ(added.stats.modified, round == 0);
    }
    ASSERT_EQ(target->children.size(), 1u);
    const ReplayFolder* month = target->children[0].get();
    EXPECT_EQ(month->name, "2026-12");
    ASSERT_TRUE(month->entries && month->entries->size() == 1);
    const ReplayEntry* entry = doc.pool.lookup(month->entries->front());
    EXPECT_EQ(Cp932ToUtf8Lossy(entry->fullPath()), dir.file("archive/2026-12/20261208-090503_alice_vs_さかな好き.RPD"));
    EXPECT_TRUE(entry->info && !entry->info->failed());
    EXPECT_FALSE(target->entries && !target->entries->empty());
}

}  // namespace
}  // namespace replidex
