// Finding moved replays again: generated scenarios on real temporary folders,
// each entry with the tier it must get and the file it must be given.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include "core/file/NativeFiles.h"
#include "core/list/Relink.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

#ifdef _WIN32
constexpr const char* kSjis8160 = "\uFF5E";
#else
constexpr const char* kSjis8160 = "\u301C";
#endif

namespace fs = std::filesystem;

std::string Net(int wins, std::uint64_t seed)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.wins = static_cast<std::uint32_t>(wins);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

std::string Offline(std::uint64_t seed)
{
    test::ReplayDescription d = test::OfflineDescription(true);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

// A list over files in a temporary folder: "old/" holds the files as they
// were listed, "new/" is the folder searched afterwards.
struct World {
    test::TempDir dir;
    std::unique_ptr<ReplayDocument> doc = std::make_unique<ReplayDocument>();
    ContentIndex index;
    std::map<const ReplayEntry*, std::string> listedBytes;

    World() { doc->root = doc->addTopLevel("Root"); }

    std::string write(const std::string& name, const std::string& bytes, int secondsAgo) const
    {
        const std::string path = dir.write(name, bytes);
        fs::last_write_time(FsPath(path), fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
        return path;
    }
    ReplayEntry* list(const std::string& nativePath, bool record, ReplayFolder* folder = nullptr)
    {
        std::string sjis;
        EXPECT_TRUE(SjisFromNativePath(nativePath, sjis)) << nativePath;
        const std::string name = NativePathOf(FsPath(nativePath).filename());
        std::string sjisName;
        Utf8ToCp932(name, sjisName);
        ReplayEntry* e = test::AddEntry(*doc, folder ? *folder : *doc->root, sjis.substr(0, sjis.size() - sjisName.size()),
                                        sjisName, FileAgeOf(sjis));
        e->kind = kReplayEntryKind;
        e->info.emplace();
        AnalyseReplay(sjis, *e->info);
        if (record) index.put(*RecordFile(sjis));
        listedBytes[e] = test::ReadWholeFile(nativePath);
        return e;
    }
    std::string path(const std::string& name) const { return dir.file(name); }
    void move(const std::string& from, const std::string& to) const
    {
        fs::create_directories(FsPath(path(to)).parent_path());
        fs::rename(FsPath(path(from)), FsPath(path(to)));
    }
    void copyLosingTime(const std::string& from, const std::string& to) const
    {
        write(to, test::ReadWholeFile(path(from)), 0);
        fs::remove(FsPath(path(from)));
    }
};

struct Expected {
    const ReplayEntry* entry;
    int tier;             // 0: no proposal
    bool ticked;
    std::string found;    // name in the world; empty: not checked (several unticked)
};

struct Scenario {
    const char* name;
    std::function<std::vector<Expected>(World&)> run;
};

const Scenario kScenarios[] = {
    {"moved, recorded", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         w.move("old/a.RPD", "new/sub/a.RPD");
         return std::vector<Expected>{{e, 1, true, "new/sub/a.RPD"}};
     }},
    {"moved, not recorded", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         w.move("old/a.RPD", "new/sub/a.RPD");
         return std::vector<Expected>{{e, 2, true, "new/sub/a.RPD"}};
     }},
    {"renamed", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         w.move("old/a.RPD", "new/REPLAY07.RPD");
         return std::vector<Expected>{{e, 2, true, "new/REPLAY07.RPD"}};
     }},
    {"copy losing the time, recorded", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         w.copyLosingTime("old/a.RPD", "new/a.RPD");
         return std::vector<Expected>{{e, 1, true, "new/a.RPD"}};
     }},
    {"copy losing the time, net match", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         w.copyLosingTime("old/a.RPD", "new/a.RPD");
         return std::vector<Expected>{{e, 3, false, "new/a.RPD"}};
     }},
    {"copy losing the time, offline match", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Offline(1), 100), false);
         w.copyLosingTime("old/a.RPD", "new/a.RPD");
         return std::vector<Expected>{{e, 0, false, ""}};
     }},
    {"touched in place", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         w.write("old/a.RPD", test::ReadWholeFile(w.path("old/a.RPD")), 0);
         return std::vector<Expected>{{e, 0, false, ""}};
     }},
    {"deleted", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         fs::remove(FsPath(w.path("old/a.RPD")));
         w.write("new/b.RPD", Net(2, 2), 100);   // the same time, other facts
         return std::vector<Expected>{{e, 0, false, ""}};
     }},
    {"two identical copies: the own name first", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         w.write("new/b.RPD", test::ReadWholeFile(w.path("old/a.RPD")), 100);
         w.move("old/a.RPD", "new/deeper/a.RPD");
         return std::vector<Expected>{{e, 2, true, "new/deeper/a.RPD"}};
     }},
    {"two identical copies: the shortest path", [](World& w) {
         auto* e = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         w.write("new/deeper/a.RPD", test::ReadWholeFile(w.path("old/a.RPD")), 100);
         w.move("old/a.RPD", "new/x/a.RPD");
         return std::vector<Expected>{{e, 1, true, "new/x/a.RPD"}};
     }},
    {"equal facts in different files, one time", [](World& w) {
         auto* a = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         auto* b = w.list(w.write("old/b.RPD", Net(1, 2), 100), false);
         w.move("old/a.RPD", "new/a.RPD");
         w.move("old/b.RPD", "new/b.RPD");
         return std::vector<Expected>{{a, 2, false, ""}, {b, 2, false, ""}};
     }},
    {"equal facts in different files, recorded", [](World& w) {
         auto* a = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         auto* b = w.list(w.write("old/b.RPD", Net(1, 2), 100), true);
         w.move("old/a.RPD", "new/b.RPD");   // swapped names
         w.move("old/b.RPD", "new/a.RPD");
         return std::vector<Expected>{{a, 1, true, "new/b.RPD"}, {b, 1, true, "new/a.RPD"}};
     }},
    {"equal facts, times apart", [](World& w) {
         auto* a = w.list(w.write("old/a.RPD", Net(1, 1), 100), false);
         auto* b = w.list(w.write("old/b.RPD", Net(1, 2), 200), false);
         w.move("old/a.RPD", "new/x.RPD");
         w.move("old/b.RPD", "new/y.RPD");
         return std::vector<Expected>{{a, 2, true, "new/x.RPD"}, {b, 2, true, "new/y.RPD"}};
     }},
    {"two entries of one path get one file", [](World& w) {
         const std::string p = w.write("old/a.RPD", Net(1, 1), 100);
         auto* a = w.list(p, false);
         auto* b = w.list(p, false, w.doc->root->addChild("B"));
         w.move("old/a.RPD", "new/a.RPD");
         return std::vector<Expected>{{a, 2, true, "new/a.RPD"}, {b, 2, true, "new/a.RPD"}};
     }},
    {"a file the list holds already is not taken", [](World& w) {
         auto* a = w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
         const std::string bytes = test::ReadWholeFile(w.path("old/a.RPD"));
         w.list(w.write("new/copy.RPD", bytes, 100), false);
         fs::remove(FsPath(w.path("old/a.RPD")));
         return std::vector<Expected>{{a, 0, false, ""}};
     }},
    {"a look-alike character in a name", [](World& w) {
         // Shift-JIS 0x8160 on disk in the form each system gives it: WAVE
         // DASH on Linux, FULLWIDTH TILDE on Windows.
         const std::string name = std::string("a") + kSjis8160 + "b.RPD";
         auto* e = w.list(w.write("old/" + name, Net(1, 1), 100), false);
         w.move("old/" + name, "new/" + name);
         return std::vector<Expected>{{e, 2, true, "new/" + name}};
     }},
};

TEST(Relink, ScenariosGetTheirTierAndNeverAWrongFile)
{
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        World w;
        const std::vector<Expected> expected = s.run(w);
        RelinkOptions options;
        options.tier3 = true;
        const auto proposals = FindRelinks(*w.doc, nullptr, FindReplayFiles(w.path("new")), w.index, options);
        for (const Expected& x : expected) {
            std::vector<const RelinkProposal*> mine;
            for (const auto& p : proposals)
                for (const ReplayEntry* e : p.entries)
                    if (e == x.entry) mine.push_back(&p);
            if (x.tier == 0) {
                EXPECT_TRUE(mine.empty());
                continue;
            }
            ASSERT_FALSE(mine.empty());
            for (const RelinkProposal* p : mine) {
                EXPECT_EQ(p->tier, x.tier);
                EXPECT_EQ(p->ticked, x.ticked);
                if (!x.found.empty()) {
                    EXPECT_EQ(p->found.nativePath, w.path(x.found));
                }
            }
        }
        for (const auto& p : proposals) {
            if (!p.ticked) continue;
            for (const ReplayEntry* e : p.entries) {
                EXPECT_EQ(test::ReadWholeFile(p.found.nativePath), w.listedBytes[e]) << p.found.nativePath;
            }
        }
    }
}

TEST(Relink, CheapestTestFirst)
{
    World w;
    w.list(w.write("old/a.RPD", Net(1, 1), 100), true);
    w.list(w.write("old/b.RPD", Net(2, 2) + "yy", 200), false);   // a size of its own
    w.move("old/a.RPD", "new/a.RPD");
    w.move("old/b.RPD", "new/b.RPD");
    for (int i = 0; i < 6; ++i) w.write("new/other" + std::to_string(i) + ".RPD", Net(9, 10 + i) + "x", 300 + 10 * i);

    const struct {
        RelinkOptions options;
        int analysed, hashed;
    } kCases[] = {
        {{true, true, false}, 1, 1},   // b's time, a's size
        {{true, false, false}, 0, 1},
        {{false, true, false}, 2, 0},  // without the index a is found by time as well
        {{true, true, true}, 8, 1},    // 「情報だけで探す」: every file
    };
    for (const auto& c : kCases) {
        RelinkStats stats;
        const auto proposals = FindRelinks(*w.doc, nullptr, FindReplayFiles(w.path("new")), w.index, c.options, &stats);
        EXPECT_EQ(stats.filesSeen, 8);
        EXPECT_EQ(stats.missingEntries, 2);
        EXPECT_EQ(stats.analysed, c.analysed);
        EXPECT_EQ(stats.hashed, c.hashed);
    }
    // Called off after three files: nothing more is read, nothing proposed.
    int asked = 0;
    RelinkStats stats;
    EXPECT_TRUE(FindRelinks(*w.doc, nullptr, FindReplayFiles(w.path("new")), w.index, {true, true, true}, &stats,
                            [&] { return ++asked <= 3; })
                    .empty());
    EXPECT_EQ(stats.analysed + stats.hashed, 3);
}

TEST(Relink, ApplyRewritesEntriesOnlyAndProposesTheRestOfAMovedFolder)
{
    World w;
    ReplayFolder* first = w.doc->root->addChild("first");
    ReplayFolder* second = w.doc->root->addChild("second");
    auto* a = w.list(w.write("old/a.RPD", Net(1, 1), 100), false, first);
    auto* c = w.list(w.write("old/c.RPD", Net(3, 3), 300), false, first);
    auto* b = w.list(w.write("old/b.RPD", Net(2, 2), 200), false, second);
    w.move("old/a.RPD", "new/a.RPD");
    w.move("old/b.RPD", "new/b.RPD");
    w.copyLosingTime("old/c.RPD", "new/c.RPD");
    const std::int32_t ageOfA = a->fileAge;
    const std::string bytesOfC = test::ReadWholeFile(w.path("new/c.RPD"));

    RelinkOptions options;
    options.tier3 = true;
    auto proposals = FindRelinks(*w.doc, first, FindReplayFiles(w.path("new")), w.index, options);
    ASSERT_EQ(proposals.size(), 2u);   // b's list folder is not looked at
    for (auto& p : proposals) p.ticked = true;   // the user ticks c's tier-3 proposal too
    EXPECT_EQ(ApplyRelinks(proposals), 2);
    EXPECT_EQ(a->fullPath(), Sjis(w.path("new/a.RPD")));
    EXPECT_EQ(a->fileAge, ageOfA);
    EXPECT_EQ(EntryState(*a), kStateUnchanged);
    EXPECT_EQ(EntryState(*c), kStateUnchanged);   // tier 3 takes the file's time
    EXPECT_EQ(test::ReadWholeFile(w.path("new/c.RPD")), bytesOfC);
    EXPECT_EQ(EntryState(*b), kStateMissing);

    const auto more = FolderPatternProposals(*w.doc, FolderMovesOf(proposals));
    ASSERT_EQ(more.size(), 1u);
    EXPECT_EQ(more[0].entries.front(), b);
    EXPECT_TRUE(more[0].byFolderPattern && more[0].ticked);
    EXPECT_EQ(more[0].tier, 2);
    EXPECT_EQ(more[0].found.nativePath, w.path("new/b.RPD"));
}

}  // namespace
}  // namespace replidex
