// Archiving the game folder: 100 slot files REPLAY00-99.RPD archived (plan,
// copy through flushed temporaries with read-back, add to a list in memory)
// next to a plain `cp` of the same files (/bin/cp started as a process), both
// into fresh folders on the same disk, in the same run, alternating; then the
// plan alone against an archive folder that already holds 10,000 files
// (ONLY_SLOTS=1 stops before that). Removing those at the end slows the next
// run's new files for a few minutes, so runs are best a while apart.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "bench/BenchUtil.h"
#include "core/archive/ArchivePlan.h"
#include "core/archive/ArchiveToList.h"
#include "core/list/ReplayDocument.h"
#include "core/text/SjisCodec.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

constexpr int kSlots = 100;
constexpr int kArchiveFiles = 10000;

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A slot file of a net match, each one different (names, score, size).
std::string SlotBytes(int i)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.name = Sjis("ぷよ太郎");
    d.p2.name = "Player" + std::to_string(i % 37);
    d.score1 = i % 4;
    d.score2 = (i / 4) % 4;
    d.fileSize = 0x6000 + static_cast<std::size_t>(i) * 100;
    d.paddingSeed = 1000 + static_cast<std::uint64_t>(i);
    return test::BuildReplay(d).bytes;
}

// /bin/cp of every slot file into `into`, as a new process; its exit status.
int PlainCopy(const fs::path& game, const fs::path& into)
{
    std::vector<std::string> args = {"cp"};
    for (int i = 0; i < kSlots; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "REPLAY%02d.RPD", i);
        args.push_back((game / name).string());
    }
    args.push_back(into.string() + "/");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv("/bin/cp", argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Milliseconds of each step of one archive.
struct StepMs {
    std::vector<double> plan, copy, add;
};

double MsSince(std::chrono::steady_clock::time_point& start)
{
    const auto now = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - start).count();
    start = now;
    return ms;
}

// The archive as the window runs it: plan, copy, add to a list folder.
ArchiveCounts ArchiveIntoList(const fs::path& game, const fs::path& archive, ReplayDocument& doc, StepMs& steps)
{
    auto start = std::chrono::steady_clock::now();
    const ArchivePlan plan = PlanArchive(game.string(), archive.string(), {});
    steps.plan.push_back(MsSince(start));
    const std::vector<ArchiveOutcome> outcomes = RunArchive(plan, {});
    steps.copy.push_back(MsSince(start));
    bool created = false;
    ReplayFolder* target = EnsureFolderPath(doc.root, {DefaultArchiveListFolder()}, created);
    auto importPool = std::make_unique<EntryPool>();
    (void)AddArchivedToList(*importPool, doc, target, outcomes);
    steps.add.push_back(MsSince(start));
    return CountOutcomes(outcomes);
}

}  // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / ("bench_archive." + std::to_string(::getpid()));
    const fs::path game = root / "PuyoF";
    fs::create_directories(game);
    std::vector<std::string> slots;
    for (int i = 0; i < kSlots; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "REPLAY%02d.RPD", i);
        slots.push_back(SlotBytes(i));
        WriteFile(game / name, slots.back());
    }

    // (a) 100 slot files: the archive against cp, alternating, fresh folders.
    // Nothing is removed until the end: a file system slows down making new
    // files right after many were removed (ext4 passes over their inodes for
    // a while), which would charge one side for the other's clean-up.
    constexpr int kRuns = 7;
    std::vector<double> archiveMs, cpMs;
    StepMs steps;
    int archived = 0, cpStatus = 0;
    for (int run = 0; run < kRuns; ++run) {
        const fs::path copies = root / ("cp" + std::to_string(run));
        const fs::path archive = root / ("archive" + std::to_string(run));
        fs::create_directories(copies);
        fs::create_directories(archive);
        // Each starts on a quiet disk: neither waits for what the other, or
        // the removal of the last run's folders, left to write back.
        ::sync();
        cpMs.push_back(bench::MedianMs(1, [&] { cpStatus |= PlainCopy(game, copies); }));
        ::sync();
        auto doc = std::make_unique<ReplayDocument>();
        doc->root = doc->addTopLevel("Root");
        archiveMs.push_back(bench::MedianMs(1, [&] { archived = ArchiveIntoList(game, archive, *doc, steps).archived; }));
    }
    std::printf("100 slot files (%d archived), median of %d runs, fresh folders each:\n", archived, kRuns);
    std::printf("  cp (process)                 %.1f ms (min %.1f)%s\n", bench::Median(cpMs),
                *std::min_element(cpMs.begin(), cpMs.end()), cpStatus ? "  cp FAILED" : "");
    std::printf("  archive (plan, copy, add)    %.1f ms (min %.1f)  = %.2fx cp\n", bench::Median(archiveMs),
                *std::min_element(archiveMs.begin(), archiveMs.end()), bench::Median(archiveMs) / bench::Median(cpMs));
    std::printf("    of which plan %.1f, copy %.1f, add %.1f ms\n", bench::Median(steps.plan), bench::Median(steps.copy),
                bench::Median(steps.add));
    std::printf("  each run, cp / archive ms:  ");
    for (int run = 0; run < kRuns; ++run) std::printf(" %.1f/%.1f", cpMs[run], archiveMs[run]);
    std::printf("\n");
    if (std::getenv("ONLY_SLOTS")) {
        fs::remove_all(root);
        return 0;
    }

    // (b) The plan against an archive folder of 10,000 files in 100 month
    // folders: sizes from 20 to 40 KiB, one in 20 of a slot file's size (read
    // and compared, but other bytes), one in 200 a copy of one of 50 slot files.
    const fs::path full = root / "full";
    std::mt19937_64 rng(24);
    int sameSize = 0, copiesOfSlots = 0;
    for (int i = 0; i < kArchiveFiles; ++i) {
        const fs::path folder = full / ("20" + std::to_string(10 + i % 10) + "-" + std::to_string(1 + (i / 10) % 10));
        if (i < 100) fs::create_directories(folder);
        const fs::path path = folder / ("match" + std::to_string(i) + ".RPD");
        const std::string& slot = slots[static_cast<std::size_t>(i % 200 == 0 ? i / 200 : i) % slots.size()];
        if (i % 200 == 0) {
            WriteFile(path, slot);
            ++copiesOfSlots;
            continue;
        }
        std::string bytes(i % 20 == 1 ? slot.size() : 20 * 1024 + rng() % (20 * 1024), '\0');
        sameSize += i % 20 == 1;
        for (std::size_t k = 0; k < bytes.size(); k += 8) bytes[k] = static_cast<char>(rng());
        WriteFile(path, bytes);
    }
    ArchiveCounts planned;
    const double planFullMs = bench::MedianMs(kRuns, [&] {
        const ArchivePlan plan = PlanArchive(game.string(), full.string(), {});
        planned = CountOutcomes(PlannedOutcomes(plan, {}));
    });
    const fs::path empty = root / "empty";
    fs::create_directories(empty);
    const double planEmptyMs = bench::MedianMs(kRuns, [&] { (void)PlanArchive(game.string(), empty.string(), {}); });

    std::printf("plan, empty archive folder:    %.1f ms\n", planEmptyMs);
    std::printf("plan, archive of %d files (%d of a slot's size, %d copies): %.1f ms (%d to archive, %d already)\n",
                kArchiveFiles, sameSize, copiesOfSlots, planFullMs, planned.archived, planned.already);
    fs::remove_all(root);
    return 0;
}
