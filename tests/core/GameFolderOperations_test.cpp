// The game folder operations over real temporary folders: what lands in which
// slot, what is kept when something is in the way or fails, and what removing
// may touch.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/replay/GameFolderOperations.h"
#include "core/replay/NewFileBatch.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

class GameFolderOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        game = dir.path().string() + "/PuyoF";
        fs::create_directories(game);
    }

    // A file in the game folder whose content is its own name.
    void Put(const std::string& name) { dir.write("PuyoF/" + name, name); }
    // A replay source elsewhere whose content is "src:" + its name.
    TransferSource Source(const std::string& name)
    {
        return {dir.write("collection/" + name, "src:" + name), name};
    }
    // Name -> content of every item of the game folder.
    std::map<std::string, std::string> Folder() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::directory_iterator(game))
            files[item.path().filename().string()] =
                item.is_directory() ? "<folder>" : test::ReadWholeFile(item.path().string());
        return files;
    }
    SlotTable Slots() const
    {
        std::error_code error;
        return SlotTable(ListFolder(game, error));
    }

    test::TempDir dir;
    std::string game;
};

TEST_F(GameFolderOperationsTest, AdditionalTransferFillsGapsThenRenameClosesThemInOrder)
{
    for (const char* name : {"REPLAY00.RPD", "REPLAY02.RPD", "REPLAY05.RPD"}) Put(name);
    const OperationReport sent = AdditionalTransfer(game, {Source("a.rpd"), Source("b.rpd")});
    ASSERT_EQ(sent.files.size(), 2u);
    EXPECT_EQ(sent.files[0].target, "REPLAY01.RPD");
    EXPECT_EQ(sent.files[1].target, "REPLAY03.RPD");
    EXPECT_EQ(sent.count(FileOutcome::Copied), 2);
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"REPLAY00.RPD", "REPLAY00.RPD"},
                                                            {"REPLAY01.RPD", "src:a.rpd"},
                                                            {"REPLAY02.RPD", "REPLAY02.RPD"},
                                                            {"REPLAY03.RPD", "src:b.rpd"},
                                                            {"REPLAY05.RPD", "REPLAY05.RPD"}}));

    const OperationReport renamed = AscendingRename(game, Slots());
    ASSERT_EQ(renamed.files.size(), 1u);
    EXPECT_EQ(renamed.files[0].source, "REPLAY05.RPD");
    EXPECT_EQ(renamed.files[0].target, "REPLAY04.RPD");
    EXPECT_EQ(Folder()["REPLAY04.RPD"], "REPLAY05.RPD");
    EXPECT_EQ(Folder().size(), 5u);
}

TEST_F(GameFolderOperationsTest, AdditionalTransferPassesTakenNamesAndReportsLeftovers)
{
    for (int n = 0; n < kSlotCount; ++n)
        if (n != 4 && n != 50 && n != 98) Put(SlotFileName(n));
    // Slot 4 looks free (a folder holds no slot), but its name is taken.
    fs::create_directory(game + "/REPLAY04.RPD");
    Put("Replay50.Rpd");   // another case holds the slot all the same
    const TransferSource missing{dir.file("collection/missing.rpd"), "missing.rpd"};
    const OperationReport sent =
        AdditionalTransfer(game, {missing, Source("a.rpd"), Source("b.rpd"), Source("c.rpd")});
    ASSERT_EQ(sent.files.size(), 4u);
    EXPECT_EQ(sent.files[0].outcome, FileOutcome::Failed);
    EXPECT_EQ(sent.files[0].problem, FileProblem::NotFound);
    EXPECT_EQ(sent.files[1].outcome, FileOutcome::Copied);
    EXPECT_EQ(sent.files[1].target, "REPLAY98.RPD");
    for (std::size_t i : {2u, 3u}) {
        EXPECT_EQ(sent.files[i].outcome, FileOutcome::Failed);
        EXPECT_EQ(sent.files[i].problem, FileProblem::NoFreeSlot);
        EXPECT_EQ(ProblemText(sent.files[i]), "no free slot");
    }
    EXPECT_EQ(Folder()["REPLAY98.RPD"], "src:a.rpd");
    EXPECT_EQ(Folder()["REPLAY04.RPD"], "<folder>");
    EXPECT_EQ(Folder()["Replay50.Rpd"], "Replay50.Rpd");
    EXPECT_EQ(Folder().count("REPLAY50.RPD"), 0u);
}

TEST_F(GameFolderOperationsTest, NormalTransferReplacesTheSlotUnderItsNameOnDisk)
{
    Put("REPLAY07.RPD");
    Put("match.rpd");
    const OperationReport sent = NormalTransfer(
        game, {Source("replay07.rpd"), Source("match.rpd"), Source("replay03.rpd"), {dir.file("gone"), "REPLAY09.RPD"}});
    ASSERT_EQ(sent.files.size(), 4u);
    EXPECT_EQ(sent.files[0].outcome, FileOutcome::Copied);
    EXPECT_EQ(sent.files[0].target, "REPLAY07.RPD");
    EXPECT_EQ(sent.files[1].outcome, FileOutcome::Skipped);
    EXPECT_EQ(sent.files[1].problem, FileProblem::NotGameReplayName);
    EXPECT_EQ(sent.files[2].target, "REPLAY03.RPD");   // new names are written in capitals
    EXPECT_EQ(sent.files[3].outcome, FileOutcome::Failed);
    EXPECT_EQ(sent.files[3].problem, FileProblem::NotFound);
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"REPLAY03.RPD", "src:replay03.rpd"},
                                                            {"REPLAY07.RPD", "src:replay07.rpd"},
                                                            {"match.rpd", "match.rpd"}}));

    // A lower-case holder keeps its name: the slot never gets a second file.
    fs::remove(game + "/REPLAY07.RPD");
    Put("replay07.rpd");
    const OperationReport again = NormalTransfer(game, {Source("REPLAY07.RPD")});
    EXPECT_EQ(again.files[0].target, "replay07.rpd");
    EXPECT_EQ(Folder()["replay07.rpd"], "src:REPLAY07.RPD");
    EXPECT_EQ(Folder().count("REPLAY07.RPD"), 0u);
}

#ifndef _WIN32  // symbolic links and file size limits are POSIX's
TEST_F(GameFolderOperationsTest, CopyFailingMidWayLeavesTheOldFileAndNoTemporary)
{
    Put("REPLAY01.RPD");
    const std::string big(64 * 1024, 'z');
    const TransferSource source{dir.write("collection/REPLAY01.RPD", big), "REPLAY01.RPD"};
    const TransferSource small = Source("replay02.rpd");

    // Writes beyond 4 KiB fail with EFBIG: the copy breaks off after a few blocks.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit low = old;
    low.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    const OperationReport sent = NormalTransfer(game, {source, small});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(sent.files.size(), 2u);
    EXPECT_EQ(sent.files[0].outcome, FileOutcome::Failed);
    EXPECT_EQ(sent.files[0].problem, FileProblem::WriteFailed);
    EXPECT_TRUE(sent.files[0].error);
    EXPECT_EQ(sent.files[1].outcome, FileOutcome::Copied);   // the operation goes on
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"REPLAY01.RPD", "REPLAY01.RPD"},
                                                            {"REPLAY02.RPD", "src:replay02.rpd"}}));
    EXPECT_NE(ProblemText(sent.files[0]).find("copy failed: "), std::string::npos);
}
#endif

TEST_F(GameFolderOperationsTest, RenameNeverReplacesAFileThatAppeared)
{
    for (const char* name : {"REPLAY00.RPD", "REPLAY03.RPD", "replay06.rpd", "other.rpd"}) Put(name);
    const SlotTable listed = Slots();
    // Between the listing and the renames a file appears in slot 1.
    Put("REPLAY01.RPD");
    const OperationReport renamed = AscendingRename(game, listed);
    EXPECT_EQ(renamed.failedCount(), 0);
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"REPLAY00.RPD", "REPLAY00.RPD"},
                                                            {"REPLAY01.RPD", "REPLAY01.RPD"},
                                                            {"REPLAY02.RPD", "REPLAY03.RPD"},
                                                            {"REPLAY03.RPD", "replay06.rpd"},
                                                            {"other.rpd", "other.rpd"}}));
}

TEST_F(GameFolderOperationsTest, FailedRenameKeepsItsPlaceAndNoLaterFilePasses)
{
    for (const char* name : {"REPLAY02.RPD", "REPLAY04.RPD"}) Put(name);
    const SlotTable listed = Slots();
    fs::remove(game + "/REPLAY02.RPD");   // gone since the listing
    const OperationReport renamed = AscendingRename(game, listed);
    ASSERT_EQ(renamed.files.size(), 2u);
    EXPECT_EQ(renamed.files[0].outcome, FileOutcome::Failed);
    EXPECT_EQ(renamed.files[0].problem, FileProblem::RenameFailed);
    // REPLAY04 may go to 03 (behind the failed one), never to 00.
    EXPECT_EQ(renamed.files[1].target, "REPLAY03.RPD");
}

#ifndef _WIN32  // symbolic links and file size limits are POSIX's
TEST_F(GameFolderOperationsTest, RemovingTouchesOnlyRegularFilesInsideTheFolder)
{
    Put("REPLAY00.RPD");
    Put("REPLAY01.RPD");
    Put("REPLAY02.RPD");
    Put("notes.txt");
    fs::create_directory(game + "/sub.RPD");
    dir.write("outside.RPD", "keep");
    fs::create_symlink(dir.file("outside.RPD"), game + "/link.RPD");

    std::vector<std::string> trashed;
    const MoveToTrashFunction trash = [&](const std::string& path, std::error_code&) {
        trashed.push_back(fs::path(path).filename().string());
        if (path.find("REPLAY01") != std::string::npos) return TrashResult::Failed;
        if (path.find("REPLAY02") != std::string::npos) return TrashResult::NoTrash;
        fs::remove(path);
        return TrashResult::Trashed;
    };
    const OperationReport removed = RemoveFolderFiles(
        game,
        {{"REPLAY00.RPD", true}, {"REPLAY01.RPD", true}, {"REPLAY02.RPD", true}, {"notes.txt", false},
         {"sub.RPD", false}, {"../outside.RPD", false}, {"..", false}, {"link.RPD", false}},
        trash);
    struct Expect {
        FileOutcome outcome;
        FileProblem problem;
    };
    const std::vector<Expect> expected = {
        {FileOutcome::Trashed, FileProblem::None},
        {FileOutcome::Failed, FileProblem::TrashFailed},   // kept: no silent permanent delete
        {FileOutcome::Deleted, FileProblem::None},         // no trash: deleted at once
        {FileOutcome::Skipped, FileProblem::NotRpdFile},
        {FileOutcome::Skipped, FileProblem::NotRegularFile},
        {FileOutcome::Failed, FileProblem::UnsafeName},
        {FileOutcome::Failed, FileProblem::UnsafeName},
        {FileOutcome::Deleted, FileProblem::None},         // the link itself
    };
    ASSERT_EQ(removed.files.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(removed.files[i].outcome, expected[i].outcome) << removed.files[i].source;
        EXPECT_EQ(removed.files[i].problem, expected[i].problem) << removed.files[i].source;
    }
    EXPECT_TRUE(removed.files[2].noTrash);
    EXPECT_EQ(removed.noTrashCount(), 1);
    EXPECT_EQ(trashed, (std::vector<std::string>{"REPLAY00.RPD", "REPLAY01.RPD", "REPLAY02.RPD"}));
    EXPECT_EQ(Folder(), (std::map<std::string, std::string>{
                            {"REPLAY01.RPD", "REPLAY01.RPD"}, {"notes.txt", "notes.txt"}, {"sub.RPD", "<folder>"}}));
    EXPECT_EQ(test::ReadWholeFile(dir.file("outside.RPD")), "keep");
}
#endif

TEST(NewFileBatch, EachFileIsMadeWholeOrNotAtAllAndNothingIsReplaced)
{
    test::TempDir dir;
    const std::string kept = dir.write("out/taken.RPD", "old");
    const std::string large(200 * 1024, 'L');
    const std::vector<NewFile> files = {
        {dir.file("out/a.RPD"), "aaa"},
        {kept, "new"},
        {dir.file("missing/b.RPD"), "bbb"},
        {dir.file("out/large.RPD"), large},
        {dir.file("out/empty.RPD"), ""},
    };
    const std::vector<CopyResult> made = MakeNewFiles(files);
    ASSERT_EQ(made.size(), files.size());
    const CopyStep steps[] = {CopyStep::None, CopyStep::PlaceTarget, CopyStep::WriteTarget, CopyStep::None,
                              CopyStep::None};
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(made[i].failedStep, steps[i]) << files[i].target;
    EXPECT_EQ(made[1].error, std::errc::file_exists);
    std::map<std::string, std::string> out;
    for (const auto& item : std::filesystem::directory_iterator(dir.file("out")))
        out[item.path().filename().string()] = test::ReadWholeFile(item.path().string());
    EXPECT_EQ(out, (std::map<std::string, std::string>{
                       {"a.RPD", "aaa"}, {"taken.RPD", "old"}, {"large.RPD", large}, {"empty.RPD", ""}}))
        << "no temporary is left";
}

TEST(GameFolderRules, TransferableRows)
{
    const std::vector<ListRowFacts> rows = {
        {false, 0, true, "/c/REPLAY01.RPD", "REPLAY01.RPD"},
        {false, 0, true, "/c/match.rpd", "match.rpd"},
        {false, 1, true, "/c/REPLAY02.RPD", "REPLAY02.RPD"},   // missing
        {false, 2, true, "/c/REPLAY03.RPD", "REPLAY03.RPD"},   // changed
        {false, 3, true, "/c/REPLAY04.RPD", "REPLAY04.RPD"},   // analysis failed
        {true, 4, false, "", "REPLAY05.RPD"},                  // a folder row
        {false, 0, false, "", "REPLAY06.RPD"},                 // no entry behind it
        {false, 0, true, "/c/replay07.rpd", "replay07.rpd"},
    };
    const auto paths = [](const std::vector<TransferSource>& sources) {
        std::vector<std::string> out;
        for (const TransferSource& s : sources) out.push_back(s.path);
        return out;
    };
    EXPECT_EQ(paths(TransferableRows(rows, true)), (std::vector<std::string>{"/c/REPLAY01.RPD", "/c/replay07.rpd"}));
    EXPECT_EQ(paths(TransferableRows(rows, false)),
              (std::vector<std::string>{"/c/REPLAY01.RPD", "/c/match.rpd", "/c/replay07.rpd"}));
}

TEST(GameFolderRules, DeleteQuestionNamesFilesOutsideTheGameFolderByPath)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/g/PuyoF/REPLAY00.RPD", "REPLAY00.RPD"},
        {"/g/PuyoF/./REPLAY00.RPD", "REPLAY00.RPD"},
        {"/g/PuyoF/../REPLAY00.RPD", "/g/REPLAY00.RPD"},
        {"/g/PuyoF/sub/../../etc/x.RPD", "/g/etc/x.RPD"},
        {"/g/PuyoF/sub/x.RPD", "/g/PuyoF/sub/x.RPD"},
        {"/elsewhere/x.RPD", "/elsewhere/x.RPD"},
    };
    for (auto [path, shown] : cases) {
#ifdef _WIN32
        // A path is shown with the system's own delimiter.
        if (shown.front() == '/') std::replace(shown.begin(), shown.end(), '/', '\\');
#endif
        EXPECT_EQ(DeleteQuestionName(path, "/g/PuyoF"), shown) << path;
        EXPECT_EQ(DeleteQuestionName(path, "/g/PuyoF/"), shown) << path;
    }
}

}  // namespace
}  // namespace replidex
