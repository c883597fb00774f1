// When a slot file the game writes is settled: simulated writers on a
// simulated clock, rewritten and removed slots, the look at real files, and
// a real writer with pauses of a second archived exactly once, whole.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/archive/ArchivePlan.h"
#include "core/archive/SettledSlots.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = SettledSlots::Clock;

// A game writing REPLAY07.RPD: chunks at the given times (ms after start),
// each growing the file by 1000 bytes and moving its time on.
struct SimulatedWriter {
    std::vector<int> chunkTimes;
    std::vector<SlotFileLook> at(int ms) const
    {
        int chunks = 0;
        for (const int t : chunkTimes) chunks += t <= ms;
        if (chunks == 0) return {};
        return {{7, "REPLAY07.RPD", 1000u * static_cast<unsigned>(chunks), chunkTimes[chunks - 1] * 1000000ll}};
    }
};

TEST(SettledSlots, AWriterPausingUpToASecondIsHandedOutOnceWhole)
{
    const struct {
        const char* what;
        std::vector<int> chunks;
    } cases[] = {
        {"one write", {0}},
        {"steady chunks", {0, 100, 200, 300, 400}},
        {"pauses of a second", {0, 1000, 2000, 3000}},
        {"uneven pauses", {0, 50, 1000, 1100, 1999, 2999}},
        {"a late start", {5000, 5900}},
    };
    for (const auto& c : cases) {
        SettledSlots settled;
        const Clock::time_point start{};
        std::vector<std::pair<int, SlotFileLook>> handed;
        for (int ms = 0; ms <= 15000; ms += 50)
            for (const SlotFileLook& file : settled.look(start + std::chrono::milliseconds(ms), SimulatedWriter{c.chunks}.at(ms)))
                handed.emplace_back(ms, file);
        ASSERT_EQ(handed.size(), 1u) << c.what;
        EXPECT_EQ(handed[0].second.size, 1000u * c.chunks.size()) << c.what;
        EXPECT_GE(handed[0].first, c.chunks.back() + 2000) << c.what;
        EXPECT_LE(handed[0].first, c.chunks.back() + 2100) << c.what;
        EXPECT_FALSE(settled.waiting()) << c.what;
    }
}

TEST(SettledSlots, RewrittenRemovedAndUnchangedSlots)
{
    SettledSlots settled;
    Clock::time_point t{};
    const SlotFileLook first{3, "replay03.rpd", 10, 1}, rewritten{3, "replay03.rpd", 10, 2};
    const SlotFileLook other{9, "REPLAY09.RPD", 5, 1};
    auto lookAfter = [&](std::chrono::milliseconds step, const std::vector<SlotFileLook>& files) {
        t += step;
        return settled.look(t, files);
    };
    EXPECT_TRUE(lookAfter(0ms, {first, other}).empty());   // the look at start
    EXPECT_TRUE(settled.waiting());
    EXPECT_TRUE(lookAfter(1999ms, {first, other}).empty());
    EXPECT_EQ(lookAfter(1ms, {first, other}), (std::vector<SlotFileLook>{first, other}));
    EXPECT_TRUE(lookAfter(10s, {first, other}).empty());   // unchanged: not again
    EXPECT_TRUE(lookAfter(1s, {rewritten, other}).empty());
    EXPECT_EQ(lookAfter(2s, {rewritten, other}), (std::vector<SlotFileLook>{rewritten}));
    // Removed (archived with removal) and written again with the same facts: new.
    EXPECT_TRUE(lookAfter(1s, {other}).empty());
    EXPECT_TRUE(lookAfter(1s, {rewritten, other}).empty());
    EXPECT_EQ(lookAfter(2s, {rewritten, other}), (std::vector<SlotFileLook>{rewritten}));
    EXPECT_TRUE(lookAfter(2s, {{-1, "x", 1, 1}, {100, "y", 1, 1}}).empty());   // no slot
}

TEST(SettledSlots, LookAtSlotFilesSeesRegularSlotFilesInSlotOrder)
{
    test::TempDir dir;
    dir.write("g/replay12.rpd", "12345");
    dir.write("g/REPLAY02.RPD", "12");
    dir.write("g/REPLAY2.RPD", "not a slot");
    dir.write("g/notes.txt", "x");
    fs::create_directories(dir.path() / "g/REPLAY05.RPD");
    const std::vector<SlotFileLook> looks = LookAtSlotFiles(dir.file("g"));
    ASSERT_EQ(looks.size(), 2u);
    EXPECT_EQ(looks[0].slot, 2);
    EXPECT_EQ(looks[0].size, 2u);
    EXPECT_EQ(looks[1].name, "replay12.rpd");
    EXPECT_EQ(looks[1].size, 5u);
    EXPECT_TRUE(LookAtSlotFiles(dir.file("missing")).empty());
}

// The game on the real clock: REPLAY07.RPD written in four chunks with
// pauses of a second while the folder is looked at every 100 ms; each
// settled file is archived at once.
TEST(SettledSlots, ARealWriterIsArchivedExactlyOnceWhole)
{
    test::TempDir dir;
    fs::create_directories(dir.path() / "game");
    const std::string replay = test::BuildReplay(test::NetMatchDescription()).bytes;
    std::thread writer([&] {
        std::ofstream out(dir.file("game/REPLAY07.RPD"), std::ios::binary);
        const std::size_t chunk = replay.size() / 4 + 1;
        for (std::size_t at = 0; at < replay.size(); at += chunk) {
            out.write(replay.data() + at, static_cast<std::streamsize>(std::min(chunk, replay.size() - at)));
            out.flush();
            std::this_thread::sleep_for(1s);
        }
    });
    SettledSlots settled;
    std::vector<ArchiveOutcome> archived;
    const Clock::time_point end = Clock::now() + 8s;
    while (Clock::now() < end) {
        for (const SlotFileLook& file : settled.look(Clock::now(), LookAtSlotFiles(dir.file("game")))) {
            const std::vector<int> only = {file.slot};
            for (ArchiveOutcome& o : RunArchive(PlanArchive(dir.file("game"), dir.file("archive"), {}, &only), {}))
                if (o.copied) archived.push_back(std::move(o));
        }
        std::this_thread::sleep_for(100ms);
    }
    writer.join();
    ASSERT_EQ(archived.size(), 1u);
    EXPECT_EQ(test::ReadWholeFile(archived[0].target), replay);
}

}  // namespace
}  // namespace replidex
