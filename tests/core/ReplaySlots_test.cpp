// Slot names, the game replay file name rule and which file holds a slot.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/replay/ReplaySlots.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

TEST(ReplaySlots, SlotNamesAndTheGameReplayFileNameRule)
{
    EXPECT_EQ(SlotFileName(0), "REPLAY00.RPD");
    EXPECT_EQ(SlotFileName(7), "REPLAY07.RPD");
    EXPECT_EQ(SlotFileName(99), "REPLAY99.RPD");

    const std::vector<std::pair<const char*, int>> cases = {
        {"REPLAY00.RPD", 0},   {"replay07.rpd", 7},   {"Replay99.Rpd", 99},
        {"rEpLaY42.rPd", 42},  {"REPLAY7.RPD", -1},   {"REPLAY100.RPD", -1},
        {"REPLAY+1.RPD", -1},  {"REPLAY 1.RPD", -1},  {"REPLAY-1.RPD", -1},
        {"REPLAY01.DAT", -1},  {"REPLAY01.RPDX", -1}, {"match.rpd", -1},
        {"XEPLAY01.RPD", -1},  {"REPLAY/1.RPD", -1},  {"REPLAY01_RPD", -1},
        {"", -1},
    };
    for (const auto& [name, slot] : cases) {
        EXPECT_EQ(SlotOfFileName(name), slot) << name;
        EXPECT_EQ(IsGameReplayFileName(name), slot >= 0) << name;
    }
}

TEST(ReplaySlots, ExtensionsPlainNamesAndJoining)
{
    for (const char* name : {"a.RPD", "a.rpd", "REPLAY00.Rpd", ".rpd"}) EXPECT_TRUE(HasRpdExtension(name)) << name;
    for (const char* name : {"a.RPD.bak", "a.DAT", "rpd", "", "a.RP"}) EXPECT_FALSE(HasRpdExtension(name)) << name;

    for (const char* name : {"a.RPD", "..a.RPD", "a..RPD", "...", "REPLAY00.RPD"})
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    for (const char* name : {"", ".", "..", "../a.RPD", "a/b.RPD", "/a.RPD", "a/"})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    EXPECT_FALSE(IsPlainFileName(std::string("a\0b", 3)));

    const std::string joined = std::string("/g") + static_cast<char>(std::filesystem::path::preferred_separator) + "x.RPD";
    EXPECT_EQ(JoinPath("/g", "x.RPD"), joined);
    EXPECT_EQ(JoinPath("/g/", "x.RPD"), "/g/x.RPD");
}

TEST(ReplaySlots, TableTakesEveryCaseButNoFolder)
{
    const std::vector<FolderItem> items = {
        {"replay03.rpd", ItemType::File},  {"REPLAY03.RPD", ItemType::File},   // exact name wins
        {"replay05.RPD", ItemType::File},  {"Replay05.rpd", ItemType::File},   // first in byte order wins
        {"REPLAY09.RPD", ItemType::Folder},                                     // folders hold no slot
        {"REPLAY11.RPD", ItemType::Other},
        {"match.rpd", ItemType::File},     {"notes.txt", ItemType::File},
    };
    const SlotTable slots(items);
    ASSERT_NE(slots.holder(3), nullptr);
    EXPECT_EQ(*slots.holder(3), "REPLAY03.RPD");
    ASSERT_NE(slots.holder(5), nullptr);
    EXPECT_EQ(*slots.holder(5), "Replay05.rpd");
    EXPECT_TRUE(slots.isFree(9));
    EXPECT_FALSE(slots.isFree(11));
    EXPECT_EQ(slots.takenCount(), 3);
    EXPECT_EQ(slots.freeCount(), 97);
    EXPECT_EQ(slots.firstFreeFrom(3), 4);
    EXPECT_EQ(slots.nextTakenAfter(3), 5);
    EXPECT_EQ(slots.nextTakenAfter(11), -1);
    EXPECT_EQ(slots.holder(-1), nullptr);
    EXPECT_EQ(slots.holder(100), nullptr);

    SlotTable full;
    for (int n = 0; n < kSlotCount; ++n) full.take(n, SlotFileName(n));
    EXPECT_EQ(full.freeCount(), 0);
    EXPECT_EQ(full.firstFreeFrom(0), -1);
    full.release(99);
    EXPECT_EQ(full.firstFreeFrom(0), 99);
}

TEST(ReplaySlots, ListingAFolder)
{
    test::TempDir dir;
    for (const char* name : {"REPLAY01.RPD", "b.rpd", "A.RPD", "replay00.rpd", "notes.txt", "match.Rpd"})
        dir.write(name, "x");
    std::filesystem::create_directory(dir.path() / "folder.RPD");
    std::error_code error;
    const std::vector<FolderItem> items = ListFolder(dir.path().string(), error);
    ASSERT_FALSE(error);
    EXPECT_EQ(items.size(), 7u);
    // Files only, in the order a Windows folder shows them.
    EXPECT_EQ(RpdFileNames(items),
              (std::vector<std::string>{"A.RPD", "b.rpd", "match.Rpd", "replay00.rpd", "REPLAY01.RPD"}));
    EXPECT_EQ(CountOtherRpdFiles(items), 3);
    EXPECT_EQ(SlotTable(items).takenCount(), 2);

    ListFolder(dir.file("missing"), error);
    EXPECT_TRUE(error);
}

}  // namespace
}  // namespace replidex
