// Adding replays: collecting files and folders from real temporary folders,
// analysing them, merging the import tree into a document.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/list/FolderOps.h"
#include "core/list/ReplayImport.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ValidReplay() { return test::BuildReplay(test::NetMatchDescription()).bytes; }
const std::string kGarbage = "not a replay file";

// Sets a file's modification time `secondsAgo` seconds into the past.
void Age(const std::string& path, int secondsAgo)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

// The entries a folder lists, as pointers into `pool`.
std::vector<ReplayEntry*> Entries(const ReplayFolder* folder, const EntryPool& pool)
{
    std::vector<ReplayEntry*> out;
    if (folder && folder->entries)
        for (const std::int32_t index : *folder->entries) out.push_back(pool.lookup(index));
    return out;
}

std::vector<std::string> Names(const ReplayFolder* folder, const EntryPool& pool)
{
    std::vector<std::string> names;
    for (const ReplayEntry* e : Entries(folder, pool)) names.push_back(e ? e->fileName : "<none>");
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ChildNames(const ReplayFolder* folder)
{
    std::vector<std::string> names;
    for (const auto& c : folder->children) names.push_back(c->name);
    std::sort(names.begin(), names.end());
    return names;
}

struct AddRun {
    int pending = 0;
    AnalyseOutcome analysis;
    int merge = -1;
    MergeStats stats;
    CollectSkips skips;
};

// One whole add operation of folders and files into `target`, as the window runs it.
AddRun Add(ReplayDocument& doc, ReplayFolder* target, EntryPool& importPool,
           const std::vector<std::string>& folders, const std::vector<std::string>& files = {},
           const AnalyseProgress& progress = {})
{
    AddRun run;
    ImportTree tree(importPool);
    for (const auto& f : folders) AddReplayFolder(tree, tree.root(), f);
    for (const auto& f : files) AddReplayFile(tree, tree.root(), f);
    run.pending = CountPending(tree.pool(), tree.root());
    run.analysis = AnalysePending(tree, run.pending, progress);
    run.merge = MergeImports(&tree, tree.root(), &doc, target, &run.stats);
    run.skips = tree.skips();
    return run;
}

class AddTest : public ::testing::Test {
protected:
    TempDir dir;
    ReplayDocument doc;
    EntryPool importPool;
    ReplayFolder* root = nullptr;

    void SetUp() override { root = doc.root = doc.addTopLevel("Root"); }
    std::string folder(const std::string& name) const
    {
        fs::create_directories(dir.path() / name);
        return dir.file(name);
    }
};

TEST_F(AddTest, CollectsReplayFilesByExtensionAndMirrorsFolders)
{
    struct Case {
        const char* name;
        bool collected;
    } const cases[] = {
        {"a.RPD", true},  {"b.rpd", true},  {"c.Dat", true},     {"d.DAT", true},
        {"e.txt", false}, {"f.rpdx", false}, {"RPD", false},      {"g.rd", false},
        {".rpd", true},   {"h.dat.bak", false},
    };
    for (const Case& c : cases) dir.write(std::string("in/") + c.name, kGarbage);
    dir.write("in/sub/deeper/x.rpd", kGarbage);
    dir.write("in/sub/notes.txt", "text");
    fs::create_directories(dir.path() / "in/empty");
    fs::create_directories(dir.path() / "in/folder.rpd");   // a folder, not a file

    ImportTree tree(importPool);
    AddReplayFolder(tree, tree.root(), dir.file("in"));
    ASSERT_EQ(tree.root()->children.size(), 1u);
    const ReplayFolder* in = tree.root()->children[0].get();
    EXPECT_EQ(in->name, "in");
    EXPECT_EQ(ChildNames(in), (std::vector<std::string>{"empty", "folder.rpd", "sub"}));

    std::vector<std::string> expected;
    for (const Case& c : cases)
        if (c.collected) expected.push_back(c.name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(in, importPool), expected);

    for (const ReplayEntry* e : Entries(in, importPool)) {
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->kind, kReplayEntryKind);
        EXPECT_EQ(e->folderPath, dir.file("in") + kPathDelimiter);
        // The files of one disk folder share its text.
        EXPECT_TRUE(e->folderPath.sharesWith(Entries(in, importPool).front()->folderPath));
        EXPECT_EQ(e->fileAge, FileAgeOf(e->fullPath()));
        EXPECT_NE(e->fileAge, kNoFileAge);
        EXPECT_FALSE(e->info.has_value());
        EXPECT_TRUE(e->memo.empty());
    }
    const ReplayFolder* deeper = FindChildFolder(FindChildFolder(in, "sub"), "deeper");
    ASSERT_NE(deeper, nullptr);
    EXPECT_EQ(Names(deeper, importPool), std::vector<std::string>{"x.rpd"});
    EXPECT_FALSE(FindChildFolder(in, "empty")->entries.has_value());
    EXPECT_EQ(CountPending(importPool, tree.root()), static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(tree.collectedFiles(), static_cast<int>(expected.size()) + 1);
    EXPECT_FALSE(tree.skips().any());

    // Deleting the tree gives every import entry back.
    DeleteImportTree(tree);
    EXPECT_EQ(tree.root(), nullptr);
    EXPECT_EQ(importPool.size(), 0);
}

// A folder's files and sub-folders come in name order without regard to case,
// as a Windows folder lists them, whatever order the file system keeps.
TEST_F(AddTest, FolderItemsComeInNameOrderWithoutRegardToCase)
{
    struct Case {
        std::vector<const char*> created;   // in this order on disk
        std::vector<const char*> files;     // expected entry order
        std::vector<const char*> folders;   // expected sub-folder order
    } const cases[] = {
        {{"0025.rpd", "0017.rpd", "0039.rpd", "0000.rpd"}, {"0000.rpd", "0017.rpd", "0025.rpd", "0039.rpd"}, {}},
        {{"b.RPD", "A.rpd", "a.DAT", "B.dat"}, {"a.DAT", "A.rpd", "B.dat", "b.RPD"}, {}},
        {{"ab/x.rpd", "aB0/x.rpd", "a/x.rpd", "Z.rpd"}, {"Z.rpd"}, {"a", "ab", "aB0"}},
        {{"試合2.rpd", "試合10.rpd", "_x.rpd", "z.rpd"}, {"z.rpd", "_x.rpd", "試合10.rpd", "試合2.rpd"}, {}},
    };
    int run = 0;
    for (const Case& c : cases) {
        const std::string top = "order" + std::to_string(run++);
        for (const char* name : c.created) dir.write(top + "/" + name, kGarbage);
        ImportTree tree(importPool);
        AddReplayFolder(tree, tree.root(), dir.file(top));
        const ReplayFolder* in = tree.root()->children.at(0).get();
        std::vector<std::string> files, folders;
        for (const ReplayEntry* e : Entries(in, importPool)) files.push_back(e->fileName);
        for (const auto& child : in->children) folders.push_back(child->name);
        std::vector<std::string> expectedFiles, expectedFolders;
        for (const char* name : c.files) expectedFiles.push_back(Sjis(name));
        for (const char* name : c.folders) expectedFolders.push_back(name);
        EXPECT_EQ(files, expectedFiles) << top;
        EXPECT_EQ(folders, expectedFolders) << top;
        DeleteImportTree(tree);
    }
}

TEST_F(AddTest, AddReplayFileRefusals)
{
    const std::string a = dir.write("f/a.rpd", kGarbage);
    const std::string upper = dir.write("f/A.RPD", kGarbage);
    dir.write("f/b.txt", kGarbage);
    fs::create_directories(dir.path() / "f/dir.dat");

    ImportTree tree(importPool);
    ReplayFolder* f = tree.root();
    EXPECT_FALSE(AddReplayFile(tree, nullptr, a));
    EXPECT_FALSE(AddReplayFile(tree, f, dir.file("f/missing.rpd")));
    EXPECT_FALSE(AddReplayFile(tree, f, dir.file("f/b.txt")));
    EXPECT_FALSE(AddReplayFile(tree, f, dir.file("f/dir.dat")));
    EXPECT_TRUE(AddReplayFile(tree, f, a));
    EXPECT_FALSE(AddReplayFile(tree, f, a));       // listed already
    EXPECT_TRUE(AddReplayFile(tree, f, upper));    // names compare exactly
    ReplayFolder* other = f->addChild("other");
    EXPECT_TRUE(AddReplayFile(tree, other, a));    // another folder may list it too
    EXPECT_EQ(Names(f, importPool), (std::vector<std::string>{"A.RPD", "a.rpd"}));
    EXPECT_FALSE(tree.skips().any());   // silent refusals are not counted
}

TEST_F(AddTest, AddingAFolderTwiceMergesIntoTheSameSubFolder)
{
    const std::string replays = folder("replays");
    const std::string keep = dir.write("replays/keep.rpd", ValidReplay());
    const std::string change = dir.write("replays/change.rpd", ValidReplay());
    dir.write("replays/broken.dat", kGarbage);
    dir.write("replays/s/inner.rpd", ValidReplay());
    Age(keep, 3600);
    Age(change, 3600);

    AddRun first = Add(doc, root, importPool, {replays});
    EXPECT_EQ(first.merge, kMergeDone);
    EXPECT_TRUE(first.stats.modified);
    EXPECT_EQ(first.stats.added, 4);
    EXPECT_EQ(first.analysis.failed, 1);
    EXPECT_EQ(importPool.size(), 0);
    ASSERT_EQ(root->children.size(), 1u);
    ReplayFolder* mirrored = root->children[0].get();
    EXPECT_EQ(mirrored->name, "replays");
    EXPECT_EQ(Names(mirrored, doc.pool),
              (std::vector<std::string>{"broken.dat", "change.rpd", "keep.rpd"}));
    for (ReplayEntry* e : Entries(mirrored, doc.pool)) {
        ASSERT_TRUE(e->info.has_value());
        EXPECT_EQ(e->info->failed(), e->fileName == "broken.dat");
        e->memo = "memo of " + e->fileName;
    }
    const std::vector<std::int32_t> order = *mirrored->entries;

    // Nothing changed on disk: the second add changes nothing.
    AddRun same = Add(doc, root, importPool, {replays});
    EXPECT_EQ(same.merge, kMergeDone);
    EXPECT_FALSE(same.stats.modified);
    EXPECT_EQ(same.stats.unchanged, 4);
    EXPECT_EQ(root->children.size(), 1u);
    EXPECT_EQ(*mirrored->entries, order);
    EXPECT_EQ(doc.pool.size(), 4);

    // One file changed, one new file, one new sub-folder.
    dir.write("replays/change.rpd", kGarbage);
    Age(change, 60);
    dir.write("replays/new.rpd", ValidReplay());
    fs::create_directories(dir.path() / "replays/later");
    AddRun again = Add(doc, root, importPool, {replays});
    EXPECT_EQ(again.merge, kMergeDone);
    EXPECT_TRUE(again.stats.modified);
    EXPECT_EQ(again.stats.added, 1);
    EXPECT_EQ(again.stats.refreshed, 1);
    EXPECT_EQ(again.stats.unchanged, 3);
    EXPECT_EQ(again.stats.foldersCreated, 1);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(ChildNames(mirrored), (std::vector<std::string>{"later", "s"}));
    // The old entries keep their slots and order; the new one comes last.
    ASSERT_EQ(mirrored->entries->size(), 4u);
    EXPECT_TRUE(std::equal(order.begin(), order.end(), mirrored->entries->begin()));
    EXPECT_EQ(doc.pool.lookup(mirrored->entries->back())->fileName, "new.rpd");
    for (const ReplayEntry* e : Entries(mirrored, doc.pool)) {
        if (e->fileName == "new.rpd") {
            EXPECT_TRUE(e->memo.empty());
            continue;
        }
        EXPECT_EQ(e->memo, "memo of " + e->fileName);
        EXPECT_EQ(e->fileAge, FileAgeOf(e->fullPath()));
        EXPECT_EQ(EntryState(*e), kStateUnchanged);
        EXPECT_EQ(e->info->failed(), e->fileName == "broken.dat" || e->fileName == "change.rpd")
            << e->fileName;
    }
    EXPECT_EQ(importPool.size(), 0);
}

TEST_F(AddTest, EntryWithUnknownAgeIsRefreshed)
{
    const std::string file = dir.write("a.rpd", ValidReplay());
    Add(doc, root, importPool, {}, {file});
    ReplayEntry* e = doc.pool.lookup(root->entries->at(0));
    e->fileAge = kNoFileAge;
    e->memo = "kept";
    const AddRun run = Add(doc, root, importPool, {}, {file});
    EXPECT_EQ(run.stats.refreshed, 1);
    EXPECT_TRUE(run.stats.modified);
    EXPECT_EQ(e->fileAge, FileAgeOf(file));
    EXPECT_EQ(e->memo, "kept");
}

TEST_F(AddTest, OtherLetterCaseIsAnotherEntry)
{
    const std::string lower = dir.write("x/replay.rpd", ValidReplay());
    const std::string upper = dir.write("X/replay.rpd", ValidReplay());
    Add(doc, root, importPool, {}, {lower});
    const AddRun run = Add(doc, root, importPool, {}, {upper});
    EXPECT_EQ(run.stats.added, 1);
    ASSERT_EQ(root->entries->size(), 2u);
    EXPECT_EQ(doc.pool.lookup(root->entries->at(1))->folderPath, dir.file("X") + kPathDelimiter);
}

TEST_F(AddTest, CancelAfterTheFirstOfHundredFilesKeepsWhatWasAnalysed)
{
    for (int i = 0; i < 50; ++i) {
        dir.write("many/a/" + std::to_string(i) + ".rpd", ValidReplay());
        dir.write("many/b/" + std::to_string(i) + ".rpd", ValidReplay());
    }
    std::vector<std::pair<int, int>> calls;
    const AddRun run = Add(doc, root, importPool, {dir.file("many")}, {},
                           [&](int done, int total) {
                               calls.emplace_back(done, total);
                               return false;
                           });
    EXPECT_EQ(run.pending, 100);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 100}}));
    EXPECT_TRUE(run.analysis.cancelled);
    EXPECT_EQ(run.analysis.analysed, 1);
    EXPECT_EQ(run.merge, kMergeDone);
    EXPECT_EQ(run.stats.added, 1);
    EXPECT_EQ(run.stats.dropped, 99);
    EXPECT_EQ(importPool.size(), 0);

    // The folder that was entered is there with the one analysed file; the
    // folder the analysis never reached is not.
    const ReplayFolder* many = FindChildFolder(root, "many");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->children.size(), 1u);
    const std::vector<ReplayEntry*> kept = Entries(many->children[0].get(), doc.pool);
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_TRUE(kept[0]->info.has_value());
    EXPECT_FALSE(kept[0]->info->failed());
    EXPECT_EQ(doc.pool.size(), 1);
}

TEST_F(AddTest, ProgressReportsEveryFileInOrder)
{
    for (int i = 0; i < 3; ++i) dir.write("p/" + std::to_string(i) + ".rpd", kGarbage);
    int stopAt = 2;
    std::vector<int> seen;
    const AddRun run = Add(doc, root, importPool, {dir.file("p")}, {}, [&](int done, int total) {
        EXPECT_EQ(total, 3);
        seen.push_back(done);
        return done != stopAt;
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    EXPECT_EQ(run.analysis.analysed, 2);
    EXPECT_EQ(run.analysis.failed, 2);
    EXPECT_EQ(run.stats.added, 2);   // failed analyses are added with their failed info
    EXPECT_EQ(run.stats.dropped, 1);
}

TEST(ProgressText, Formats)
{
    EXPECT_EQ(ProgressText(1, 3), Sjis("1/3ファイルを解析 ( 33％)"));
    EXPECT_EQ(ProgressText(2, 3), Sjis("2/3ファイルを解析 ( 67％)"));
    EXPECT_EQ(ProgressText(100, 100), Sjis("100/100ファイルを解析 (100％)"));
    EXPECT_EQ(ProgressText(0, 0), Sjis("0/0ファイルを解析 (  0％)"));
}

TEST_F(AddTest, FullDocumentPoolStopsTheMergeOnce)
{
    // Leave three free slots in the document pool.
    while (doc.pool.size() < EntryPool::kSlotCount - 3) ASSERT_NE(doc.pool.allocate(), nullptr);
    const std::string existing = dir.write("a/0.rpd", kGarbage);
    Add(doc, root, importPool, {}, {existing});   // root lists one entry
    ASSERT_EQ(doc.pool.size(), EntryPool::kSlotCount - 2);
    for (int i = 1; i < 5; ++i) dir.write("a/" + std::to_string(i) + ".rpd", kGarbage);
    dir.write("b/x.rpd", kGarbage);

    // Import root: a/ (five files), then b/, then the root's own list.
    const AddRun run = Add(doc, root, importPool, {dir.file("a"), dir.file("b")}, {existing});
    EXPECT_EQ(run.merge, kMergePoolFull);
    EXPECT_EQ(run.stats.unchanged, 1);   // the root's own list merges first
    EXPECT_EQ(run.stats.added, 2);
    EXPECT_TRUE(run.stats.modified);
    EXPECT_EQ(doc.pool.size(), EntryPool::kSlotCount);
    const ReplayFolder* a = FindChildFolder(root, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->entries->size(), 2u);
    EXPECT_EQ(FindChildFolder(root, "b"), nullptr);   // after the stop: not merged
    EXPECT_EQ(importPool.size(), 0);   // the rest went with the import tree
    EXPECT_EQ(PoolFullMessage(), Sjis("登録できる数(65536)を超えています。"));
}

TEST_F(AddTest, UnrepresentableNamesAreSkippedAndCounted)
{
    dir.write("u/ok.rpd", kGarbage);
    dir.write("u/caf\xC3\xA9.rpd", kGarbage);          // é has no Shift-JIS form
    dir.write("u/\xF0\x9F\x98\x80.dat", kGarbage);     // nor has an emoji
    dir.write("u/bad\xFF.rpd", kGarbage);              // not even UTF-8
    dir.write("u/caf\xC3\xA9.txt", kGarbage);          // not a replay file: not counted
    dir.write("u/\xC3\xA9t\xC3\xA9/one.rpd", kGarbage);
    dir.write("u/\xC3\xA9t\xC3\xA9/deep/two.rpd", kGarbage);
    dir.write("u/\xE6\x97\xA5\xE6\x9C\xAC.rpd", kGarbage);   // 日本 is fine

    const AddRun run = Add(doc, root, importPool, {dir.file("u")});
#ifdef _WIN32
    const int notUtf8 = 0;   // Windows keeps names in UTF-16: "bad\xFF" cannot be made
#else
    const int notUtf8 = 1;
#endif
    EXPECT_EQ(run.skips.unrepresentableFiles, 4 + notUtf8);
    EXPECT_EQ(run.skips.unrepresentableFolders, 1);
    EXPECT_EQ(run.skips.skippedFiles(), 4 + notUtf8);
    const ReplayFolder* u = FindChildFolder(root, "u");
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(u->children.empty());
    EXPECT_EQ(Names(u, doc.pool), (std::vector<std::string>{"ok.rpd", Sjis("日本.rpd")}));

    const std::string message = SkipMessage(run.skips);
    EXPECT_NE(message.find(Sjis(std::to_string(4 + notUtf8) + "個のファイル")), std::string::npos);
    EXPECT_NE(message.find(Sjis("1個のフォルダ")), std::string::npos);
    EXPECT_EQ(SkipMessage(CollectSkips{}), "");

    // A single file given by its path is counted the same way.
    ImportTree tree(importPool);
    EXPECT_FALSE(AddReplayFile(tree, tree.root(), dir.file("u/caf\xC3\xA9.rpd")));
    EXPECT_EQ(tree.skips().unrepresentableFiles, 1);
}

#ifndef _WIN32  // symbolic links and folder modes are POSIX's
TEST_F(AddTest, SymbolicLinkLoopsEnd)
{
    dir.write("loop/a.rpd", kGarbage);
    dir.write("loop/sub/b.rpd", kGarbage);
    dir.write("outside/c.rpd", kGarbage);
    fs::create_directory_symlink("..", dir.path() / "loop/sub/up");
    fs::create_directory_symlink(".", dir.path() / "loop/self");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "loop/linked");
    fs::create_symlink("nowhere", dir.path() / "loop/dangling.rpd");

    const AddRun run = Add(doc, root, importPool, {dir.file("loop")});
    EXPECT_EQ(run.merge, kMergeDone);
    EXPECT_EQ(run.skips.linkedAgainFolders, 2);
    const ReplayFolder* loop = FindChildFolder(root, "loop");
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(ChildNames(loop), (std::vector<std::string>{"linked", "sub"}));
    EXPECT_EQ(Names(loop, doc.pool), std::vector<std::string>{"a.rpd"});
    EXPECT_EQ(Names(FindChildFolder(loop, "linked"), doc.pool), std::vector<std::string>{"c.rpd"});
    EXPECT_EQ(Names(FindChildFolder(loop, "sub"), doc.pool), std::vector<std::string>{"b.rpd"});
}
#endif

#ifndef _WIN32  // symbolic links and folder modes are POSIX's
TEST_F(AddTest, UnreadableFoldersAreSkipped)
{
    ImportTree tree(importPool);
    AddReplayFolder(tree, tree.root(), dir.file("does-not-exist"));
    EXPECT_EQ(tree.skips().unreadableFolders, 1);
    EXPECT_TRUE(tree.root()->children.empty());

    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    dir.write("r/ok.rpd", kGarbage);
    dir.write("r/locked/hidden.rpd", kGarbage);
    fs::permissions(dir.path() / "r/locked", fs::perms::none);
    AddReplayFolder(tree, tree.root(), dir.file("r"));
    fs::permissions(dir.path() / "r/locked", fs::perms::owner_all);
    EXPECT_EQ(tree.skips().unreadableFolders, 2);
    const ReplayFolder* r = FindChildFolder(tree.root(), "r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ChildNames(r), std::vector<std::string>{});
    EXPECT_EQ(Names(r, importPool), std::vector<std::string>{"ok.rpd"});
}
#endif

TEST_F(AddTest, MergeWithoutAnalysisDropsEverything)
{
    dir.write("m/a.rpd", kGarbage);
    dir.write("m/s/b.rpd", kGarbage);
    ImportTree tree(importPool);
    AddReplayFolder(tree, tree.root(), dir.file("m"));
    AddReplayFile(tree, tree.root(), dir.file("m/a.rpd"));
    MergeStats stats;
    EXPECT_EQ(MergeImports(&tree, tree.root(), &doc, root, &stats), kMergeDone);
    EXPECT_FALSE(stats.modified);
    EXPECT_EQ(stats.dropped, 3);
    EXPECT_TRUE(root->children.empty());
    EXPECT_EQ(importPool.size(), 0);
    EXPECT_TRUE(tree.root()->children.empty());

    EXPECT_EQ(MergeImports(nullptr, tree.root(), &doc, root), kMergeNoFolder);
    EXPECT_EQ(MergeImports(&tree, nullptr, &doc, root), kMergeNoFolder);
    EXPECT_EQ(MergeImports(&tree, tree.root(), nullptr, root), kMergeNoFolder);
    EXPECT_EQ(MergeImports(&tree, tree.root(), &doc, nullptr), kMergeNoFolder);
}

TEST_F(AddTest, EmptyFoldersAreKept)
{
    fs::create_directories(dir.path() / "e/one/two");
    const AddRun run = Add(doc, root, importPool, {dir.file("e")});
    EXPECT_EQ(run.pending, 0);
    EXPECT_TRUE(run.stats.modified);
    EXPECT_EQ(run.stats.foldersCreated, 3);
    const ReplayFolder* two = FindChildFolder(FindChildFolder(FindChildFolder(root, "e"), "one"), "two");
    ASSERT_NE(two, nullptr);
    EXPECT_FALSE(two->entries.has_value());
}

TEST_F(AddTest, CountPendingSkipsAnalysedAndEmptySlots)
{
    dir.write("c/a.rpd", kGarbage);
    dir.write("c/b.rpd", kGarbage);
    dir.write("c/s/c.rpd", kGarbage);
    ImportTree tree(importPool);
    AddReplayFolder(tree, tree.root(), dir.file("c"));
    ReplayFolder* c = tree.root()->children[0].get();
    EXPECT_EQ(CountPending(importPool, tree.root()), 3);
    importPool.lookup(c->entries->at(0))->info.emplace();
    importPool.release(importPool.lookup(c->entries->at(1)));
    EXPECT_EQ(CountPending(importPool, tree.root()), 1);
    EXPECT_EQ(CountPending(importPool, nullptr), 0);
}

TEST(RecentFolderOf, FileAndFolder)
{
    std::string out;
    EXPECT_TRUE(RecentFolderOfFile("/a/b/c.rpd", out));
    EXPECT_EQ(out, "/a/b/");
    EXPECT_FALSE(RecentFolderOfFile("c.rpd", out));
    EXPECT_TRUE(RecentFolderOfFile("/\xE6\x97\xA5/x.rpd", out));
    EXPECT_EQ(out, Sjis("/日/"));
    EXPECT_FALSE(RecentFolderOfFile("/caf\xC3\xA9/x.rpd", out));
    EXPECT_TRUE(RecentFolderOfFile("/a/caf\xC3\xA9.rpd", out));   // only the folder needs a form
    EXPECT_EQ(out, "/a/");
    EXPECT_TRUE(RecentFolderOfFolder("/a/b", out));
    EXPECT_EQ(out, std::string("/a/b") + kPathDelimiter);
    EXPECT_TRUE(RecentFolderOfFolder("/", out));
    EXPECT_EQ(out, "/");
}

}  // namespace
}  // namespace replidex
