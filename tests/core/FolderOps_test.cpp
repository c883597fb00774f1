// Folder operations of the replay list: entry lists with duplicate handling,
// purging, deleting, creating, renaming, moving and merging folders, moving
// list rows, and the nesting limit that keeps every folder saveable.
#include "core/list/FolderOps.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

class FolderOpsTest : public ::testing::Test {
protected:
    EntryPool pool;
    ReplayFolder root{"Root"};

    // A new pool entry for "dir/" + file.
    ReplayEntry* Make(const std::string& file, std::int32_t age, const std::string& memo = {},
                      const std::string& dir = "/r/")
    {
        ReplayEntry* e = pool.allocate();
        e->kind = kReplayEntryKind;
        e->folderPath = dir;
        e->fileName = file;
        e->fileAge = age;
        e->memo = memo;
        return e;
    }
    // Lists a new entry in `folder` directly (no duplicate rules).
    ReplayEntry* Put(ReplayFolder* folder, const std::string& file, std::int32_t age,
                     const std::string& memo = {})
    {
        ReplayEntry* e = Make(file, age, memo);
        folder->entryList().push_back(e->poolIndex);
        return e;
    }
    std::vector<std::string> Files(const ReplayFolder* folder) const
    {
        std::vector<std::string> names;
        if (folder->entries)
            for (std::int32_t i : *folder->entries) {
                const ReplayEntry* e = pool.lookup(i);
                names.push_back(e ? e->fileName : "<empty>");
            }
        return names;
    }
    static std::vector<std::string> Children(const ReplayFolder* folder)
    {
        std::vector<std::string> names;
        for (const auto& c : folder->children) names.push_back(c->name);
        return names;
    }
    // Every listed index names an entry, no index is listed twice, every pool
    // entry is listed, and parent links agree with ownership.
    void ExpectConsistent() const
    {
        std::set<std::int32_t> seen;
        std::vector<const ReplayFolder*> pending{&root};
        while (!pending.empty()) {
            const ReplayFolder* f = pending.back();
            pending.pop_back();
            for (const auto& c : f->children) {
                EXPECT_EQ(c->parent, f) << c->name;
                pending.push_back(c.get());
            }
            if (!f->entries) continue;
            for (std::int32_t i : *f->entries) {
                EXPECT_NE(pool.lookup(i), nullptr) << f->name << " lists empty slot " << i;
                EXPECT_TRUE(seen.insert(i).second) << "index " << i << " listed twice";
            }
        }
        EXPECT_EQ(static_cast<int>(seen.size()), pool.size()) << "entries leaked from the lists";
    }
};

// ---------------------------------------------------------------------------
// Entry lists

struct AddCase {
    const char* what;
    std::int32_t oldAge;
    const char* oldMemo;
    std::int32_t newAge;
    const char* newMemo;
    int code;
    std::vector<std::string> listAfter;   // file names; the added file is "x"
    const char* memoAfter;                // memo of the entry listed for "x"
    bool modified;
};

TEST_F(FolderOpsTest, AddEntryFollowsDuplicateRules)
{
    const std::vector<AddCase> cases = {
        {"same time, memo given: memo replaced", 7, "old", 7, "new", kAddedUnchanged,
         {"a", "x", "b"}, "new", true},
        {"same time, no memo: nothing changes", 7, "old", 7, "", kAddedUnchanged,
         {"a", "x", "b"}, "old", false},
        {"other time, no memo: old memo carried, moved to end", 7, "old", 9, "", kAddedReplaced,
         {"a", "b", "x"}, "old", true},
        {"other time, own memo kept", 7, "old", 9, "mine", kAddedReplaced, {"a", "b", "x"},
         "mine", true},
        {"both missing (-1) is never unchanged", -1, "old", -1, "", kAddedReplaced,
         {"a", "b", "x"}, "old", true},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.what);
        pool.clear();
        ReplayFolder folder("F");
        Put(&folder, "a", 1);
        ReplayEntry* old = Put(&folder, "x", c.oldAge, c.oldMemo);
        Put(&folder, "b", 1);
        const std::int32_t oldIndex = old->poolIndex;
        ReplayEntry* added = Make("x", c.newAge, c.newMemo);
        const std::int32_t newIndex = added->poolIndex;

        const AddEntryResult r = AddEntryToFolder(&folder, added, pool);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.modified, c.modified);
        EXPECT_EQ(Files(&folder), c.listAfter);
        const bool keptOld = c.code == kAddedUnchanged;
        EXPECT_EQ(r.index, keptOld ? oldIndex : newIndex);
        // The loser of the two goes back to the pool.
        EXPECT_EQ(pool.lookup(keptOld ? newIndex : oldIndex), nullptr);
        ASSERT_NE(pool.lookup(r.index), nullptr);
        EXPECT_EQ(pool.lookup(r.index)->memo, c.memoAfter);
        EXPECT_EQ(pool.size(), 3);
    }
}

TEST_F(FolderOpsTest, AddEntryNewRefusedAndSelf)
{
    ReplayFolder folder("F");
    EXPECT_FALSE(folder.entries.has_value());
    ReplayEntry* e = Make("x", 1);
    AddEntryResult r = AddEntryToFolder(&folder, e, pool);
    EXPECT_EQ(r.code, kAddedNew);
    EXPECT_TRUE(r.modified);
    EXPECT_EQ(Files(&folder), std::vector<std::string>{"x"});

    EXPECT_EQ(AddEntryToFolder(nullptr, e, pool).code, kAddRefused);
    EXPECT_EQ(AddEntryToFolder(&folder, nullptr, pool).code, kAddRefused);

    // An entry that is not the object in its slot never gets listed.
    ReplayEntry stranger;
    stranger.poolIndex = e->poolIndex;
    stranger.fileName = "y";
    r = AddEntryToFolder(&folder, &stranger, pool);
    EXPECT_EQ(r.code, kAddRefused);
    EXPECT_FALSE(r.modified);

    // Adding an entry the folder already lists keeps it (not released).
    r = AddEntryToFolder(&folder, e, pool);
    EXPECT_EQ(r.code, kAddedUnchanged);
    EXPECT_EQ(pool.lookup(r.index), e);
    EXPECT_EQ(Files(&folder), std::vector<std::string>{"x"});
}

TEST_F(FolderOpsTest, FindEntryIndexSkipsEmptySlotsAndComparesWholePath)
{
    ReplayFolder folder("F");
    EXPECT_EQ(FindEntryIndex(&folder, pool, "/r/x"), -1);   // no list
    ReplayEntry* first = Put(&folder, "x", 1);
    Put(&folder, "x", 2);
    pool.release(first);
    EXPECT_EQ(FindEntryIndex(&folder, pool, "/r/x"), 1);
    EXPECT_EQ(FindEntryIndex(&folder, pool, "/r/"), -1);
    EXPECT_EQ(FindEntryIndex(&folder, pool, "/r/xx"), -1);
    EXPECT_EQ(FindEntryIndex(&folder, pool, "/R/x"), -1);   // exact, case counts
    EXPECT_EQ(FindEntryIndex(nullptr, pool, "/r/x"), -1);
}

TEST_F(FolderOpsTest, RemoveDeleteAndPurge)
{
    ReplayFolder folder("F");
    ReplayEntry* a = Put(&folder, "a", 1);
    ReplayEntry* b = Put(&folder, "b", 1);
    Put(&folder, "c", 1);
    const std::int32_t ia = a->poolIndex, ib = b->poolIndex;

    EXPECT_TRUE(RemoveEntryFromFolder(&folder, pool, "/r/a"));
    EXPECT_EQ(pool.lookup(ia), a);   // still in the pool
    EXPECT_FALSE(RemoveEntryFromFolder(&folder, pool, "/r/a"));
    EXPECT_TRUE(DeleteEntryFromFolder(&folder, pool, "/r/b"));
    EXPECT_EQ(pool.lookup(ib), nullptr);
    EXPECT_FALSE(DeleteEntryFromFolder(&folder, pool, "/r/zz"));
    EXPECT_EQ(Files(&folder), std::vector<std::string>{"c"});

    // Empty slots and indices outside the pool go; order of the rest stays.
    ReplayFolder mixed("M");
    ReplayEntry* gone = Make("g", 1);
    const std::int32_t ig = gone->poolIndex;
    pool.release(gone);
    ReplayEntry* p = Make("p", 1);
    ReplayEntry* q = Make("q", 1);
    mixed.entryList() = {ig, p->poolIndex, 70000, -5, q->poolIndex, ig};
    EXPECT_EQ(PurgeFolder(&mixed, pool), 4);
    EXPECT_EQ(Files(&mixed), (std::vector<std::string>{"p", "q"}));
    EXPECT_EQ(PurgeFolder(&mixed, pool), 0);
    EXPECT_EQ(PurgeFolder(nullptr, pool), 0);
}

TEST_F(FolderOpsTest, DeleteFolderTreeReleasesEverythingBelow)
{
    Put(&root, "r1", 1);
    ReplayFolder* a = root.addChild("A");
    ReplayFolder* b = a->addChild("B");
    ReplayFolder* c = b->addChild("C");
    ReplayFolder* d = a->addChild("D");
    root.addChild("E");
    for (ReplayFolder* f : {a, b, c, d}) {
        Put(f, f->name + "1", 1);
        Put(f, f->name + "2", 1);
    }
    EXPECT_EQ(pool.size(), 9);

    EXPECT_TRUE(DeleteSubFolder(&root, "A", pool));
    EXPECT_EQ(Children(&root), std::vector<std::string>{"E"});
    EXPECT_EQ(pool.size(), 1);
    ExpectConsistent();
    EXPECT_FALSE(DeleteSubFolder(&root, "A", pool));

    // A folder without parent is emptied; its owner removes it.
    DeleteFolderTree(&root, pool);
    EXPECT_EQ(pool.size(), 0);
    EXPECT_TRUE(root.children.empty());
    EXPECT_FALSE(root.entries.has_value());
}

TEST_F(FolderOpsTest, IsDescendantAndStatusText)
{
    ReplayFolder* a = root.addChild("A");
    ReplayFolder* b = a->addChild("B");
    ReplayFolder* c = b->addChild("C");
    ReplayFolder* s = root.addChild("S");
    EXPECT_TRUE(IsDescendant(&root, c));
    EXPECT_TRUE(IsDescendant(a, c));
    EXPECT_FALSE(IsDescendant(a, a));
    EXPECT_FALSE(IsDescendant(c, a));
    EXPECT_FALSE(IsDescendant(a, s));
    EXPECT_FALSE(IsDescendant(nullptr, a));
    EXPECT_FALSE(IsDescendant(a, nullptr));

    Put(&root, "x", 1);
    Put(&root, "y", 1);
    root.entryList().push_back(60000);   // an empty slot still counts as listed
    EXPECT_EQ(FolderStatusText(&root), Sjis("フォルダ:2個 ファイル:3個"));
    EXPECT_EQ(FolderStatusText(c), Sjis("フォルダ:0個 ファイル:0個"));
    EXPECT_EQ(FolderStatusText(nullptr), Sjis("フォルダ:0個 ファイル:0個"));
}

// ---------------------------------------------------------------------------
// Creating and renaming

TEST_F(FolderOpsTest, NewFolderTakesFirstFreeNumber)
{
    EXPECT_EQ(NewFolderName(&root), "New_0");
    root.addChild("New_0");
    root.addChild("new_1");   // names compare exactly
    root.addChild("New_2");
    for (const char* lookalike : {"New_01", "New_1 ", "New_", "New_-1", "New_00001", "New_1x"})
        root.addChild(lookalike);
    const CreateFolderResult r = CreateSubFolder(&root);
    ASSERT_NE(r.folder, nullptr);
    EXPECT_EQ(r.folder->name, "New_1");
    EXPECT_TRUE(r.modified);
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(root.children.back().get(), r.folder);
    EXPECT_EQ(r.folder->parent, &root);
    EXPECT_FALSE(r.folder->entries.has_value());

    ReplayFolder full("Full");
    for (int n = 0; n < 10000; ++n) full.addChild("New_" + std::to_string(n));
    EXPECT_FALSE(NewFolderName(&full).has_value());
    const CreateFolderResult none = CreateSubFolder(&full);
    EXPECT_EQ(none.folder, nullptr);
    EXPECT_FALSE(none.modified);
    EXPECT_TRUE(none.message.empty());   // said nothing
    EXPECT_EQ(full.children.size(), 10000u);
    EXPECT_EQ(CreateSubFolder(nullptr).folder, nullptr);
}

TEST_F(FolderOpsTest, RenameRules)
{
    ReplayFolder* a = root.addChild("A");
    root.addChild("B");

    RenameResult r = RenameFolder(a, "B");
    EXPECT_FALSE(r.accepted);
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(r.message, "B" + Sjis("：フォルダは既に存在しています。"));
    EXPECT_EQ(a->name, "A");

    r = RenameFolder(a, "A");
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.modified);

    r = RenameFolder(a, "b");   // another name: case counts
    EXPECT_TRUE(r.accepted);
    EXPECT_TRUE(r.modified);
    EXPECT_EQ(a->name, "b");

    r = RenameFolder(a, "");
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(a->name, "");

    // The root has no siblings: any name goes, also a child's name.
    r = RenameFolder(&root, "B");
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(root.name, "B");

    // A name longer than the list file keeps is cut on a character boundary.
    const std::string longName = std::string(254, 'n') + Sjis("あ");
    r = RenameFolder(a, longName);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(a->name, std::string(254, 'n'));
}

// ---------------------------------------------------------------------------
// Moving folders

TEST_F(FolderOpsTest, CanMoveFolderVerdicts)
{
    ReplayFolder* a = root.addChild(Sjis("あ"));
    ReplayFolder* sub = a->addChild("Sub");
    ReplayFolder* b = root.addChild("B");
    ReplayFolder* twin = b->addChild(Sjis("あ"));
    ReplayFolder* c = root.addChild("C");

    struct Case {
        const char* what;
        const ReplayFolder* source;
        const ReplayFolder* target;
        FolderMoveVerdict verdict;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"onto itself", a, a, FolderMoveVerdict::Refused,
         Sjis("あは移動元と同一のフォルダです。\nサブフォルダには移動できません。")},
        {"onto a descendant", a, sub, FolderMoveVerdict::Refused,
         Sjis("Subはあのサブフォルダです。\nサブフォルダには移動できません。")},
        {"onto its own parent", a, &root, FolderMoveVerdict::NoChange, ""},
        {"root", &root, c, FolderMoveVerdict::Refused,
         Sjis("CはRootのサブフォルダです。\nサブフォルダには移動できません。")},
        {"same-named child", a, b, FolderMoveVerdict::AskOverwrite,
         Sjis("Bにはあフォルダが既に存在します。\n上書きしますか？")},
        {"free", a, c, FolderMoveVerdict::Allowed, ""},
    };
    for (const Case& c2 : cases) {
        SCOPED_TRACE(c2.what);
        const FolderMoveCheck check = CanMoveFolder(c2.source, c2.target);
        EXPECT_EQ(check.verdict, c2.verdict);
        EXPECT_EQ(check.message, c2.message);
    }
    EXPECT_EQ(CanMoveFolder(a, b).existing, twin);

    // The boxes: refusals are shown and refuse, the question decides.
    std::vector<FolderMoveVerdict> shown;
    bool answer = false;
    const FolderMoveAsk ask = [&](const FolderMoveCheck& check) {
        shown.push_back(check.verdict);
        return answer;
    };
    EXPECT_FALSE(ConfirmFolderMove(a, sub, ask));
    EXPECT_FALSE(ConfirmFolderMove(a, b, ask));
    answer = true;
    EXPECT_TRUE(ConfirmFolderMove(a, b, ask));
    EXPECT_TRUE(ConfirmFolderMove(a, c, ask));
    EXPECT_FALSE(ConfirmFolderMove(a, &root, ask));
    EXPECT_EQ(shown, (std::vector<FolderMoveVerdict>{FolderMoveVerdict::Refused,
                                                     FolderMoveVerdict::AskOverwrite,
                                                     FolderMoveVerdict::AskOverwrite}));
    EXPECT_FALSE(ConfirmFolderMove(a, b, nullptr));   // nobody to say OK
}

TEST_F(FolderOpsTest, MoveFolderWithoutTwinTakesListAndChildren)
{
    ReplayFolder* a = root.addChild("A");
    ReplayFolder* x = a->addChild("X");
    a->addChild("Y");
    ReplayFolder* b = root.addChild("B");
    Put(a, "a1", 1);
    Put(a, "a2", 1);
    Put(x, "x1", 1);
    const std::vector<std::int32_t> aList = *a->entries;

    const MoveFolderResult r = MoveFolder(a, b, pool);
    ASSERT_NE(r.moved, nullptr);
    EXPECT_TRUE(r.modified);
    EXPECT_EQ(Children(&root), std::vector<std::string>{"B"});
    EXPECT_EQ(r.moved->parent, b);
    EXPECT_EQ(r.moved->name, "A");
    EXPECT_EQ(*r.moved->entries, aList);   // same indices, same order
    EXPECT_EQ(Children(r.moved), (std::vector<std::string>{"X", "Y"}));
    EXPECT_EQ(Files(r.moved->children[0].get()), std::vector<std::string>{"x1"});
    ExpectConsistent();
}

TEST_F(FolderOpsTest, MoveFolderMergesSameNamedFoldersLevelByLevel)
{
    // root/A{a: same, new, changed; X{P{p}}, Y}   root/B/A{a: same, changed; X{Q}}
    ReplayFolder* a = root.addChild("A");
    ReplayFolder* ax = a->addChild("X");
    ReplayFolder* axp = ax->addChild("P");
    a->addChild("Y");
    Put(a, "same", 5, "dropped memo");
    Put(a, "new", 5);
    Put(a, "changed", 6);
    Put(axp, "p", 1);
    ReplayFolder* b = root.addChild("B");
    ReplayFolder* ba = b->addChild("A");
    ReplayFolder* bax = ba->addChild("X");
    bax->addChild("Q");
    Put(ba, "same", 5, "kept?");
    Put(ba, "changed", 3, "old memo");
    Put(ba, "only", 1);

    std::vector<std::string> log;
    FolderTreeEvents events;
    events.beforeInsert = [&](ReplayFolder* parent, int row) {
        EXPECT_EQ(row, static_cast<int>(parent->children.size()));
        log.push_back("+" + parent->name);
    };
    events.afterInsert = [&](ReplayFolder* parent, int row) {
        EXPECT_EQ(row + 1, static_cast<int>(parent->children.size()));
    };
    events.beforeRemove = [&](ReplayFolder* parent, int row) {
        ASSERT_LT(row, static_cast<int>(parent->children.size()));
        log.push_back("-" + parent->children[row]->name);
    };

    ASSERT_EQ(CanMoveFolder(a, b).verdict, FolderMoveVerdict::AskOverwrite);
    const MoveFolderResult r = MoveFolder(a, b, pool, &events);
    EXPECT_EQ(r.moved, ba);   // the existing twin is the destination
    EXPECT_EQ(Children(&root), std::vector<std::string>{"B"});
    EXPECT_EQ(Children(b), std::vector<std::string>{"A"});
    EXPECT_EQ(Children(ba), (std::vector<std::string>{"X", "Y"}));
    EXPECT_EQ(Children(bax), (std::vector<std::string>{"Q", "P"}));
    EXPECT_EQ(Files(bax->children[1].get()), std::vector<std::string>{"p"});
    EXPECT_EQ(Files(ba), (std::vector<std::string>{"same", "only", "new", "changed"}));
    EXPECT_EQ(pool.lookup((*ba->entries)[0])->memo, "dropped memo");
    EXPECT_EQ(pool.lookup((*ba->entries)[3])->memo, "old memo");
    EXPECT_EQ(pool.lookup((*ba->entries)[3])->fileAge, 6);
    // P and Y are new nodes; A, X, P, Y of the source went, deepest first.
    EXPECT_EQ(log, (std::vector<std::string>{"+X", "-P", "-X", "+A", "-Y", "-A"}));
    ExpectConsistent();
}

TEST_F(FolderOpsTest, MoveFolderRefusesWhatWouldBreakTheTree)
{
    ReplayFolder* a = root.addChild("A");
    ReplayFolder* sub = a->addChild("Sub");
    Put(a, "a", 1);
    EXPECT_EQ(MoveFolder(a, sub, pool).moved, nullptr);
    EXPECT_EQ(MoveFolder(a, a, pool).moved, nullptr);
    EXPECT_EQ(MoveFolder(a, &root, pool).moved, nullptr);   // already there
    EXPECT_EQ(MoveFolder(&root, sub, pool).moved, nullptr);
    EXPECT_EQ(MoveFolder(nullptr, sub, pool).moved, nullptr);
    EXPECT_EQ(Children(&root), std::vector<std::string>{"A"});
    EXPECT_EQ(Files(a), std::vector<std::string>{"a"});
    ExpectConsistent();
}

// ---------------------------------------------------------------------------
// Nesting limit

// A chain of folders below `top`, `levels` deep; answers the deepest.
ReplayFolder* Chain(ReplayFolder* top, int levels)
{
    for (int i = 0; i < levels; ++i) top = top->addChild("L" + std::to_string(i));
    return top;
}

TEST_F(FolderOpsTest, DepthLimitMatchesWhatTheListFileKeeps)
{
    // The deepest allowed folder and its entries survive saving and reading;
    // one level more would lose the entries.
    for (const int depth : {kMaxFolderDepth, kMaxFolderDepth + 1}) {
        SCOPED_TRACE(depth);
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        ReplayFolder* deepest = Chain(doc.root, depth);
        ReplayEntry* e = doc.pool.allocate();
        e->kind = kReplayEntryKind;
        e->folderPath = "/r/";
        e->fileName = "deep.rpd";
        deepest->entryList().push_back(e->poolIndex);
        EXPECT_EQ(FolderDepth(deepest), depth);

        ReplayDocument back;
        ASSERT_EQ(ReadListBytes(WriteListBytes(doc), back), ListOpenResult::Opened);
        EXPECT_EQ(back.pool.size(), depth <= kMaxFolderDepth ? 1 : 0);
        EXPECT_EQ(CheckEntryDepth(deepest).empty(), depth <= kMaxFolderDepth);
    }
}

TEST_F(FolderOpsTest, DepthLimitRefusesNewFoldersAndMoves)
{
    EXPECT_EQ(FolderDepth(&root), 0);
    EXPECT_EQ(SubtreeHeight(&root), 0);
    ReplayFolder* limit = Chain(&root, kMaxFolderDepth);
    EXPECT_EQ(FolderDepth(limit), kMaxFolderDepth);
    EXPECT_EQ(SubtreeHeight(&root), kMaxFolderDepth);

    const CreateFolderResult refused = CreateSubFolder(limit);
    EXPECT_EQ(refused.folder, nullptr);
    EXPECT_FALSE(refused.modified);
    EXPECT_NE(refused.message.find(Sjis("階層が深すぎる")), std::string::npos);
    EXPECT_TRUE(limit->children.empty());
    EXPECT_NE(CreateSubFolder(limit->parent).folder, nullptr);

    // A two-level folder fits below depth limit - 3, not below limit - 2.
    ReplayFolder* tall = root.addChild("Tall");
    tall->addChild("T1")->addChild("T2");
    EXPECT_EQ(SubtreeHeight(tall), 2);
    ReplayFolder* tooDeep = limit->parent->parent;
    ReplayFolder* fits = tooDeep->parent;
    // A twin below the target must not turn the refusal into a question.
    tooDeep->addChild("Tall");

    const FolderMoveCheck check = CanMoveFolder(tall, tooDeep);
    EXPECT_EQ(check.verdict, FolderMoveVerdict::Refused);
    EXPECT_EQ(check.message, CheckMoveDepth(tall, tooDeep));
    EXPECT_NE(check.message.find(Sjis("階層が深くなりすぎる")), std::string::npos);
    const MoveFolderResult notMoved = MoveFolder(tall, tooDeep, pool);
    EXPECT_EQ(notMoved.moved, nullptr);
    EXPECT_EQ(notMoved.message, check.message);
    EXPECT_EQ(tall->parent, &root);

    EXPECT_EQ(CanMoveFolder(tall, fits).verdict, FolderMoveVerdict::Allowed);
    const MoveFolderResult moved = MoveFolder(tall, fits, pool);
    ASSERT_NE(moved.moved, nullptr);
    EXPECT_EQ(FolderDepth(moved.moved) + SubtreeHeight(moved.moved), kMaxFolderDepth);
}

// ---------------------------------------------------------------------------
// Moving rows

TEST_F(FolderOpsTest, MoveRowsMergesEntriesAndMovesFolders)
{
    ReplayFolder* shown = root.addChild("S");
    ReplayFolder* target = root.addChild("T");
    ReplayEntry* e1 = Put(shown, "e1", 1);
    ReplayEntry* e2 = Put(shown, "e2", 5, "m2");
    ReplayEntry* e3 = Put(shown, "e3", 2);
    Put(shown, "stay", 1);
    shown->addChild("F1");
    shown->addChild("F2");
    ReplayEntry* t2 = Put(target, "e2", 5);
    Put(target, "e3", 1, "t3 memo");

    std::vector<MovedRow> rows = {
        {true, "F1", -1},
        {false, "/r/e1", e1->poolIndex},
        {false, "/r/e2", e2->poolIndex},
        {false, "/r/e3", e3->poolIndex},
    };
    const std::int32_t i1 = e1->poolIndex, i3 = e3->poolIndex;
    const MoveRowsResult r =
        MoveRowsToFolder(shown, target, rows, pool, FolderRowRule::Checked, nullptr);
    EXPECT_TRUE(r.modified);
    ASSERT_NE(r.lastMoved, nullptr);
    EXPECT_EQ(r.lastMoved->name, "F1");
    EXPECT_EQ(r.lastMoved->parent, target);
    EXPECT_EQ(Files(shown), std::vector<std::string>{"stay"});
    EXPECT_EQ(Children(shown), std::vector<std::string>{"F2"});
    EXPECT_EQ(Files(target), (std::vector<std::string>{"e2", "e1", "e3"}));
    EXPECT_EQ(t2->memo, "m2");
    EXPECT_EQ(pool.lookup(i3)->memo, "t3 memo");
    // Row data follows the entries: e2's row now names the target's entry.
    EXPECT_EQ(rows[1].entryIndex, i1);
    EXPECT_EQ(rows[2].entryIndex, t2->poolIndex);
    EXPECT_EQ(rows[3].entryIndex, i3);
    ExpectConsistent();
}

TEST_F(FolderOpsTest, MoveRowsKeepsASecondEntryOfTheSamePath)
{
    ReplayFolder* shown = root.addChild("S");
    ReplayFolder* target = root.addChild("T");
    Put(shown, "dup", 1, "first");
    ReplayEntry* second = Put(shown, "dup", 2, "second");
    std::vector<MovedRow> rows = {{false, "/r/dup", second->poolIndex}};
    MoveRowsToFolder(shown, target, rows, pool, FolderRowRule::Checked, nullptr);
    ASSERT_EQ(Files(shown).size(), 1u);
    EXPECT_EQ(pool.lookup((*shown->entries)[0])->memo, "first");
    EXPECT_EQ(pool.lookup((*target->entries)[0])->memo, "second");
    ExpectConsistent();
}

TEST_F(FolderOpsTest, MoveRowsFolderRules)
{
    // Tree drop: the overwrite question decides; a descendant is refused.
    {
        ReplayFolder* shown = root.addChild("S");
        ReplayFolder* f1 = shown->addChild("F1");
        ReplayFolder* inside = f1->addChild("G");
        ReplayFolder* target = root.addChild("T");
        target->addChild("F2");
        ReplayFolder* f2 = shown->addChild("F2");
        Put(f2, "f2", 1);

        std::vector<FolderMoveVerdict> asked;
        bool answer = false;
        const FolderMoveAsk ask = [&](const FolderMoveCheck& c) {
            asked.push_back(c.verdict);
            return answer;
        };
        std::vector<MovedRow> rows = {{true, "F2", -1}};
        MoveRowsResult r = MoveRowsToFolder(shown, target, rows, pool, FolderRowRule::Checked, ask);
        EXPECT_EQ(r.lastMoved, nullptr);
        EXPECT_EQ(Children(shown), (std::vector<std::string>{"F1", "F2"}));
        answer = true;
        r = MoveRowsToFolder(shown, target, rows, pool, FolderRowRule::Checked, ask);
        EXPECT_EQ(r.lastMoved, target->children[0].get());
        EXPECT_EQ(Files(r.lastMoved), std::vector<std::string>{"f2"});
        EXPECT_EQ(Children(shown), std::vector<std::string>{"F1"});

        rows = {{true, "F1", -1}};
        r = MoveRowsToFolder(shown, inside, rows, pool, FolderRowRule::Checked, ask);
        EXPECT_EQ(r.lastMoved, nullptr);
        EXPECT_EQ(asked, (std::vector<FolderMoveVerdict>{FolderMoveVerdict::AskOverwrite,
                                                         FolderMoveVerdict::AskOverwrite,
                                                         FolderMoveVerdict::Refused}));
        ExpectConsistent();
    }
    // Drop on a folder row: the target's own row is skipped, twins merge at once.
    {
        ReplayFolder* shown = root.addChild("S2");
        ReplayFolder* target = shown->addChild("T");
        target->addChild("F");
        shown->addChild("F");
        std::vector<MovedRow> rows = {{true, "T", -1}, {true, "F", -1}};
        int asked = 0;
        const FolderMoveAsk ask = [&](const FolderMoveCheck&) { return ++asked, true; };
        const MoveRowsResult r =
            MoveRowsToFolder(shown, target, rows, pool, FolderRowRule::Direct, ask);
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(Children(shown), std::vector<std::string>{"T"});
        EXPECT_EQ(Children(target), std::vector<std::string>{"F"});
        EXPECT_EQ(r.lastMoved, target->children[0].get());
    }
}

TEST_F(FolderOpsTest, MoveRowsRefusedAsAWhole)
{
    ReplayFolder* shown = root.addChild("S");
    ReplayEntry* e = Put(shown, "e", 1);
    std::vector<MovedRow> rows = {{false, "/r/e", e->poolIndex}};

    // Onto the shown folder itself: nothing.
    MoveRowsResult r = MoveRowsToFolder(shown, shown, rows, pool, FolderRowRule::Checked, nullptr);
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(Files(shown), std::vector<std::string>{"e"});

    // Onto a folder too deep for its entries to be saved: said, nothing moves.
    ReplayFolder* tooDeep = Chain(&root, kMaxFolderDepth + 1);
    std::string said;
    const FolderMoveAsk ask = [&](const FolderMoveCheck& c) { return said = c.message, true; };
    r = MoveRowsToFolder(shown, tooDeep, rows, pool, FolderRowRule::Checked, ask);
    EXPECT_FALSE(r.modified);
    EXPECT_EQ(said, CheckEntryDepth(tooDeep));
    EXPECT_FALSE(said.empty());
    EXPECT_EQ(Files(shown), std::vector<std::string>{"e"});
    EXPECT_FALSE(tooDeep->entries.has_value());
}

}  // namespace
}  // namespace replidex
