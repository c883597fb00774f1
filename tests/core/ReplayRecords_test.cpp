// Records of the replay list: the entry pool, entries, match kind, entry
// state from the file system and the packed file times.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayRecords.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

constexpr int kSlots = EntryPool::kSlotCount;

void FillPool(EntryPool& pool)
{
    for (int i = 0; i < kSlots; ++i) ASSERT_NE(pool.allocate(), nullptr) << i;
}

TEST(EntryPool, NewPoolAndNewEntries)
{
    EntryPool pool;
    EXPECT_EQ(pool.cursor(), 0);
    EXPECT_EQ(pool.size(), 0);
    for (std::int64_t i : {std::int64_t{-1}, std::int64_t{0}, std::int64_t{65535}, std::int64_t{65536},
                           std::int64_t{1} << 40})
        EXPECT_EQ(pool.lookup(i), nullptr) << i;

    ReplayEntry* e = pool.allocate();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->poolIndex, 0);
    EXPECT_EQ(e->kind, 0);
    EXPECT_EQ(e->fileAge, 0);
    EXPECT_EQ(e->searchMark, 0u);
    EXPECT_TRUE(e->fileName.empty() && e->folderPath.empty() && e->memo.empty());
    EXPECT_FALSE(e->info.has_value());
    EXPECT_EQ(pool.lookup(0), e);
    EXPECT_EQ(pool.cursor(), 1);
    EXPECT_EQ(pool.allocate()->poolIndex, 1);
    EXPECT_EQ(pool.size(), 2);
}

TEST(EntryPool, SearchStartsAtTheCursor)
{
    EntryPool pool;
    for (int i = 0; i < 3; ++i) pool.allocate();
    ASSERT_TRUE(pool.release(pool.lookup(0)));
    // Slot 0 is free, but the search starts at the cursor (3).
    EXPECT_EQ(pool.allocate()->poolIndex, 3);
    EXPECT_EQ(pool.cursor(), 4);
}

TEST(EntryPool, WrapsAroundAndFills)
{
    EntryPool pool;
    FillPool(pool);
    EXPECT_EQ(pool.size(), kSlots);
    // After slot 65535 the cursor is back at 0.
    EXPECT_EQ(pool.cursor(), 0);
    EXPECT_EQ(pool.allocate(), nullptr);
    EXPECT_EQ(pool.cursor(), 0);

    // With the cursor at c and only slot c-1 empty, allocation takes c-1.
    ASSERT_TRUE(pool.release(pool.lookup(99)));
    EXPECT_EQ(pool.allocate()->poolIndex, 99);
    EXPECT_EQ(pool.cursor(), 100);
    ASSERT_TRUE(pool.release(pool.lookup(99)));
    EXPECT_EQ(pool.allocate()->poolIndex, 99);

    // Taking slot 65535 sends the next search to slot 0.
    ASSERT_TRUE(pool.release(pool.lookup(65535)));
    ASSERT_TRUE(pool.release(pool.lookup(50)));
    EXPECT_EQ(pool.allocate()->poolIndex, 65535);   // search ran from 100
    EXPECT_EQ(pool.cursor(), 0);
    ASSERT_TRUE(pool.release(pool.lookup(70)));
    EXPECT_EQ(pool.allocate()->poolIndex, 50);
    EXPECT_EQ(pool.allocate()->poolIndex, 70);
    EXPECT_EQ(pool.allocate(), nullptr);
}

TEST(EntryPool, Release)
{
    EntryPool pool;
    ReplayEntry* a = pool.allocate();
    ReplayEntry* b = pool.allocate();
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(pool.release(nullptr));

    // A foreign object claiming slot 1 does not remove what is there.
    ReplayEntry foreign;
    foreign.poolIndex = 1;
    EXPECT_FALSE(pool.release(&foreign));
    EXPECT_EQ(pool.lookup(1), b);
    foreign.poolIndex = -1;
    EXPECT_FALSE(pool.release(&foreign));
    foreign.poolIndex = 65536;
    EXPECT_FALSE(pool.release(&foreign));
    foreign.poolIndex = 7;   // an empty slot
    EXPECT_FALSE(pool.release(&foreign));
    EXPECT_EQ(pool.size(), 2);

    EXPECT_TRUE(pool.release(a));
    EXPECT_EQ(pool.lookup(0), nullptr);
    EXPECT_EQ(pool.lookup(1), b);
    EXPECT_EQ(pool.size(), 1);
}

TEST(EntryPool, ClearKeepsTheCursorAndSlotsComeBackAsNew)
{
    EntryPool pool;
    for (int i = 0; i < 300; ++i) {
        ReplayEntry* e = pool.allocate();
        e->kind = kReplayEntryKind;
        e->fileAge = 7;
        e->searchMark = kMarkHit;
        e->fileName = "REPLAY00.RPD";
        e->folderPath = "/a/long/enough/folder/path/to/need/the/heap/";
        e->memo = std::string(100, 'm');
        e->info.emplace().p1.setName("x");
    }
    pool.release(pool.lookup(3));
    pool.clear();
    EXPECT_EQ(pool.size(), 0);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(pool.lookup(i), nullptr);
    EXPECT_EQ(pool.cursor(), 300);
    EXPECT_EQ(pool.allocate()->poolIndex, 300);

    // Every slot used before, released or cleared, is handed out empty.
    while (pool.size() < kSlots) {
        const ReplayEntry* e = pool.allocate();
        ASSERT_NE(e, nullptr);
        if (e->poolIndex >= 300) continue;
        EXPECT_EQ(e->kind, 0);
        EXPECT_EQ(e->fileAge, 0);
        EXPECT_EQ(e->searchMark, 0u);
        EXPECT_TRUE(e->fileName.empty() && e->folderPath.empty() && e->memo.empty());
        EXPECT_FALSE(e->info.has_value());
    }
}

TEST(EntryPool, ClearSearchMarks)
{
    EntryPool pool;
    for (int i = 0; i < 300; ++i) pool.allocate()->searchMark = kMarkInScope | kMarkHit;
    pool.release(pool.lookup(10));
    pool.clearSearchMarks();
    int seen = 0;
    pool.forEach([&seen](const ReplayEntry& e) {
        EXPECT_EQ(e.searchMark, 0u);
        ++seen;
    });
    EXPECT_EQ(seen, 299);
}

TEST(ReplayEntry, CopyAssignment)
{
    EntryPool pool;
    ReplayEntry* src = pool.allocate();
    ReplayEntry* dst = pool.allocate();
    src->kind = kReplayEntryKind;
    src->fileAge = 0x35836000;
    src->searchMark = kMarkHit;
    src->fileName = "REPLAY00.RPD";
    src->folderPath = "/games/";
    src->memo = Sjis("勝ち\r\n試合");
    src->info.emplace();
    src->info->infoFlags = kInfoNetMatch;
    src->info->p1.setName(Sjis("ぷよ太郎"));

    // The target has no info: it gets its own copy.
    *dst = *src;
    EXPECT_EQ(dst->poolIndex, 1);
    EXPECT_EQ(dst->kind, kReplayEntryKind);
    EXPECT_EQ(dst->fileAge, 0x35836000);
    EXPECT_EQ(dst->searchMark, kMarkHit);
    EXPECT_EQ(dst->fullPath(), "/games/REPLAY00.RPD");
    EXPECT_EQ(dst->memo, src->memo);
    ASSERT_TRUE(dst->info.has_value());
    EXPECT_EQ(*dst->info, *src->info);
    src->info->p1.wins = 5;
    EXPECT_EQ(dst->info->p1.wins, 0);

    // A target that has info takes the source's contents.
    *dst = *src;
    EXPECT_EQ(dst->info->p1.wins, 5);

    // A source without info frees the target's.
    ReplayEntry empty;
    *dst = empty;
    EXPECT_FALSE(dst->info.has_value());
    EXPECT_EQ(dst->poolIndex, 1);
    EXPECT_TRUE(dst->fileName.empty());

    *src = *src;
    EXPECT_TRUE(src->info.has_value());
    EXPECT_EQ(src->fileName, "REPLAY00.RPD");
}

// A name is the text before its first NUL, at most 40 bytes, and the record
// holds nothing after it: a record that held a longer name before is equal
// to a fresh one with the same name.
TEST(PlayerRecord, SetNameKeepsTheTextBeforeItsFirstNulAndZeroesTheRest)
{
    const std::string bytes40 = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"ab", "ab"},
        {std::string("abc\0def", 7), "abc"},
        {"12345678", "12345678"},                          // one whole word
        {std::string("1234567\0x", 9), "1234567"},          // NUL ends the first word
        {std::string("12345678\0abcdefgh", 17), "12345678"},
        {std::string("\x82\xd5\x82\xe6\x82\xd5\x82\xe6\x91\xbe", 10), "\x82\xd5\x82\xe6\x82\xd5\x82\xe6\x91\xbe"},
        {bytes40, bytes40},
        {bytes40 + "EFG", bytes40},                         // cut at 40 bytes
        {bytes40.substr(0, 39) + std::string("\0Z", 2), bytes40.substr(0, 39)},
    };
    for (const auto& c : cases) {
        PlayerRecord dirty;
        dirty.setName(std::string(40, 'x'));
        dirty.setName(c.text);
        PlayerRecord fresh;
        fresh.setName(c.expected);
        EXPECT_EQ(dirty.nameText(), c.expected) << c.text.size();
        EXPECT_EQ(dirty, fresh) << c.text.size();
        EXPECT_EQ(dirty.name.back(), '\0');
    }
}

TEST(ReplayInfo, MatchKindAndClearing)
{
    ReplayInfo info;
    EXPECT_EQ(MatchKind(info), kMatchTwoPlayers);
    info.p2.isCom = 1;
    EXPECT_EQ(MatchKind(info), kMatchVsCom);
    info.p2.isCom = 0;
    info.p1.isCom = 1;
    EXPECT_EQ(MatchKind(info), kMatchVsCom);
    info.infoFlags = kInfoNetMatch;   // net wins over a computer flag
    EXPECT_EQ(MatchKind(info), kMatchNet);

    info.p1.setName(std::string(50, 'x'));
    EXPECT_EQ(info.p1.nameText().size(), 40u);
    info.p1.clear();
    EXPECT_EQ(info.p1, PlayerRecord{});
    info.p2.rank = 3;
    info.clear();
    EXPECT_EQ(info, ReplayInfo{});
}

// --- File times and entry state

std::tm LocalTm(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

TEST(FileTime, PackDosDateTime)
{
    struct Row {
        int y, mo, d, h, mi, s;
        std::uint32_t packed;
    };
    const Row rows[] = {
        {2006, 12, 3, 12, 0, 0, 0x35836000},
        {2006, 12, 3, 12, 0, 1, 0x35836000},   // two-second resolution
        {2024, 2, 29, 23, 59, 59, 0x585DBF7D},
        {1980, 1, 1, 0, 0, 0, 0x00210000},
        {1979, 12, 31, 23, 59, 59, 0x00210000},   // before 1980: the first value
        {1900, 6, 1, 12, 0, 0, 0x00210000},
        {2107, 12, 31, 23, 59, 58, 0xFF9FBF7D},
        {2108, 1, 1, 0, 0, 0, 0xFF9FBF7D},       // after 2107: the last value
        {2300, 1, 1, 0, 0, 0, 0xFF9FBF7D},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.y);
        EXPECT_EQ(static_cast<std::uint32_t>(PackDosDateTime(LocalTm(r.y, r.mo, r.d, r.h, r.mi, r.s))), r.packed);
    }
}

void SetMtime(const std::string& path, std::time_t when)
{
#ifdef _WIN32
    _utimbuf times{when, when};
    ASSERT_EQ(::_wutime(FsPath(path).c_str(), &times), 0);
#else
    utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
#endif
}

TEST(FileTime, FileAgeIsLocalTime)
{
    test::TempDir dir;
    const std::string path = dir.write("a.RPD", "x");
    std::tm local = LocalTm(2006, 12, 3, 12, 0, 0);
    SetMtime(path, std::mktime(&local));
    EXPECT_EQ(FileAgeOf(path), 0x35836000);
    EXPECT_EQ(FileAgeOf(dir.file("missing.RPD")), kNoFileAge);
    EXPECT_EQ(FileAgeOf(dir.path().string()), kNoFileAge);
}

TEST(EntryState, FollowsTheFile)
{
    test::TempDir dir;
    const std::string sjisName = Sjis("リプレイ.RPD");
    const std::string path = dir.write("リプレイ.RPD", "replay");
    std::tm local = LocalTm(2010, 5, 6, 7, 8, 10);
    const std::time_t registered = std::mktime(&local);
    SetMtime(path, registered);

    ReplayEntry entry;
    entry.folderPath = dir.path().string() + "/";
    entry.fileName = sjisName;
    entry.fileAge = FileAgeOf(entry.fullPath());
    ASSERT_NE(entry.fileAge, kNoFileAge);
    EXPECT_EQ(EntryState(entry), kStateUnchanged);

    SetMtime(path, registered + 3600);   // touched later
    EXPECT_EQ(EntryState(entry), kStateChanged);
    entry.fileAge = FileAgeOf(entry.fullPath());   // as a successful re-read stores it
    EXPECT_EQ(EntryState(entry), kStateUnchanged);

    std::filesystem::remove(FsPath(path));
    EXPECT_EQ(EntryState(entry), kStateMissing);
    std::filesystem::create_directory(FsPath(path));   // a folder of that name is not the file
    EXPECT_EQ(EntryState(entry), kStateMissing);
}

}  // namespace
}  // namespace replidex
