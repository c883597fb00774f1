// Duplicates of a list: groups checked against a grouping by whole file
// contents made here, and what was read to find them.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "core/list/Duplicates.h"
#include "core/list/EntryLocations.h"
#include "core/text/SjisCodec.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using Groups = std::set<std::set<std::string>>;   // full paths of each group's entries

Groups PathsOfGroups(const std::vector<DuplicateGroup>& groups, DuplicateKind kind)
{
    Groups out;
    for (const auto& g : groups)
        if (g.kind == kind) {
            std::set<std::string> paths;
            for (const ReplayEntry* e : g.entries) paths.insert(e->fullPath() + "#" + std::to_string(e->poolIndex));
            out.insert(paths);
        }
    return out;
}

TEST(Duplicates, ContentGroupsEqualAGroupingByWholeContents)
{
    for (const std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        const test::TempDir dir;
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        ReplayFolder* sub = doc.root->addChild("sub");
        const std::string folder = Sjis(dir.path().string() + "/");
        std::map<std::string, std::vector<std::string>> byContent;   // content -> entry keys
        std::uint64_t sharedSizeBytes = 0;
        std::map<std::size_t, int> sizeCount;
        std::vector<std::string> contents;
        for (int i = 0; i < 40; ++i) {
            // Few sizes, fewer contents: equal sizes with other bytes, equal bytes under other names.
            std::string bytes(100 + 10 * (rng() % 6), 'x');
            bytes[rng() % bytes.size()] = static_cast<char>('a' + rng() % 3);
            if (seed == 4) bytes = std::string(1000 + i, 'u');   // every size once
            const std::string name = "f" + std::to_string(i) + ".RPD";
            dir.write(name, bytes);
            const int listings = rng() % 5 == 0 ? 2 : 1;
            for (int l = 0; l < listings; ++l) {
                ReplayEntry* e = test::AddEntry(doc, l ? *sub : *doc.root, folder, name);
                byContent[bytes].push_back(e->fullPath() + "#" + std::to_string(e->poolIndex));
            }
            ++sizeCount[bytes.size()];
            contents.push_back(bytes);
        }
        test::AddEntry(doc, *doc.root, folder, "missing.RPD");
        for (const std::string& c : contents)
            if (sizeCount[c.size()] > 1) sharedSizeBytes += c.size();

        Groups expected;
        for (const auto& [bytes, keys] : byContent) {
            std::set<std::string> paths;
            for (const std::string& k : keys) paths.insert(k.substr(0, k.find('#')));
            if (paths.size() > 1) expected.insert({keys.begin(), keys.end()});
        }
        DuplicateStats stats;
        const auto groups = FindDuplicates(doc, {true, true, false}, nullptr, &stats);
        EXPECT_EQ(PathsOfGroups(groups, DuplicateKind::Content), expected);
        EXPECT_LE(stats.bytesRead, 2 * sharedSizeBytes);
        if (seed == 4) {
            EXPECT_EQ(stats.bytesRead, 0u);
        }

        for (std::size_t i = 1; i < groups.size(); ++i)
            EXPECT_LE(groups[i - 1].entries.front()->poolIndex, groups[i].entries.front()->poolIndex);
        for (const auto& g : groups) {
            EXPECT_GE(g.entries.size(), 2u);
            for (std::size_t i = 1; i < g.entries.size(); ++i)
                EXPECT_LT(g.entries[i - 1]->poolIndex, g.entries[i]->poolIndex);
        }
    }
}

TEST(Duplicates, PathAndMatchGroups)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    ReplayInfo net;
    net.infoFlags = kInfoNetMatch | kInfoRuleF;
    net.p1.setName("abc");
    ReplayInfo offline;
    offline.infoFlags = kInfoOfflineMatch;
    ReplayInfo failed = net;
    failed.infoFlags |= kInfoFailed;
    ReplayInfo otherNet = net;
    otherNet.p2.wins = 1;
    const struct {
        const char* name;
        std::optional<ReplayInfo> info;
    } kEntries[] = {
        {"a.RPD", net}, {"b.RPD", net}, {"a.RPD", otherNet}, {"c.RPD", offline}, {"d.RPD", offline},
        {"e.RPD", failed}, {"f.RPD", failed}, {"g.RPD", std::nullopt}, {"h.RPD", std::nullopt},
        {"i.RPD", otherNet},
    };
    for (const auto& e : kEntries) test::AddEntry(doc, *doc.root, "/x/", e.name)->info = e.info;

    const auto groups = FindDuplicates(doc, {true, false, true});
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].kind, DuplicateKind::Path);    // slots 0 and 2
    EXPECT_EQ(groups[1].kind, DuplicateKind::Match);   // slots 0 and 1
    EXPECT_EQ(groups[2].kind, DuplicateKind::Match);   // slots 2 and 9
    EXPECT_EQ(groups[0].entries[1]->poolIndex, 2);
    EXPECT_EQ(groups[1].entries[1]->poolIndex, 1);
    EXPECT_EQ(groups[2].entries[1]->poolIndex, 9);
    EXPECT_TRUE(FindDuplicates(doc, {false, false, false}).empty());

    std::vector<ReplayEntry*> two{doc.pool.lookup(0), doc.pool.lookup(1)};
    EXPECT_FALSE(MemosDiffer(two));
    two[1]->memo = "x";
    EXPECT_TRUE(MemosDiffer(two));
}

TEST(Duplicates, ListFolderPathsNameFoldersBelowTheRoot)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    ReplayFolder* b = doc.root->addChild("A")->addChild("B");
    ReplayFolder* other = doc.addTopLevel("Other")->addChild("C");
    EXPECT_EQ(ListFolderPath(doc, doc.root), "");
    EXPECT_EQ(ListFolderPath(doc, b), "A/B");
    EXPECT_EQ(ListFolderPath(doc, other), "Other/C");
}

}  // namespace
}  // namespace replidex
