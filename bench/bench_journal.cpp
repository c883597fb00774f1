// The journal's cost: planning over a folder of 100 slots, a 99-file transfer
// with and without the journal (new copies, then copies over 99 files whose
// originals go to the stash), and undoing the journaled transfer. All in
// one temporary folder on the same disk, in the same run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/BenchUtil.h"
#include "core/file/NativeFiles.h"
#include "core/journal/Journal.h"
#include "core/replay/GameFolderOperations.h"
#include "platform/JournalLocation.h"
#include "platform/Trash.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 99;
constexpr std::size_t kFileBytes = 20 * 1024;   // about a long match's replay

void Write(const fs::path& path, std::mt19937_64& rng)
{
    std::string bytes(kFileBytes, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Empty(const fs::path& folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
}

std::vector<FolderItem> Listing(const fs::path& folder)
{
    std::error_code error;
    return ListFolder(folder.string(), error);
}

}  // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / ("bench_journal." + std::to_string(::getpid()));
    const fs::path game = root / "PuyoF", sources = root / "sources";
    fs::create_directories(sources);
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    std::mt19937_64 rng(25);
    std::vector<TransferSource> list;
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "REPLAY%02d.RPD", i);
        Write(sources / name, rng);
        list.push_back({(sources / name).string(), name});
    }
    JournalStore store(JournalFolder());
    const JournalTrash trash = PlatformJournalTrash();
    constexpr int kRuns = 9;

    // Planning: the rename over 100 slots with every other one free, and the
    // additional transfer of 99 files into an empty folder.
    Empty(game);
    for (int i = 1; i < 100; i += 2) {
        char name[16];
        std::snprintf(name, sizeof name, "REPLAY%02d.RPD", i);
        Write(game / name, rng);
    }
    const double planRename = bench::MedianMs(kRuns * 10, [&] { (void)PlanAscendingRename(game.string(), Listing(game)); });
    Empty(game);
    const double planTransfer =
        bench::MedianMs(kRuns * 10, [&] { (void)PlanAdditionalTransfer(game.string(), Listing(game), list); });

    // New copies: the operation as it ran before the journal, then through it.
    std::vector<double> plain, journaled, overwritePlain, overwriteJournaled, undo;
    for (int run = 0; run < kRuns; ++run) {
        Empty(game);
        plain.push_back(bench::MedianMs(1, [&] { (void)AdditionalTransfer(game.string(), list); }));
        Empty(game);
        journaled.push_back(bench::MedianMs(1, [&] {
            (void)ExecutePlan(store, PlanAdditionalTransfer(game.string(), Listing(game), list), trash);
        }));
        // Copies over 99 files: the originals go to the stash first.
        overwritePlain.push_back(bench::MedianMs(1, [&] { (void)NormalTransfer(game.string(), list); }));
        overwriteJournaled.push_back(bench::MedianMs(1, [&] {
            (void)ExecutePlan(store, PlanNormalTransfer(game.string(), Listing(game), list), trash);
        }));
        // Undoing the overwrite (originals back from the stash), then the
        // copies (into the trash).
        undo.push_back(bench::MedianMs(1, [&] {
            (void)UndoEntry(store, *store.lastUndoable(game.string()), trash);
            (void)UndoEntry(store, *store.lastUndoable(game.string()), trash);
        }));
        fs::remove_all(root / "data");
    }
    const auto pct = [](double with, double without) { return 100.0 * (with - without) / without; };
    std::printf("plan renumber, 100 slots (50 files):  %.3f ms\n", planRename);
    std::printf("plan transfer, 99 files:              %.3f ms\n", planTransfer);
    std::printf("99 new copies      plain %.1f ms, journaled %.1f ms (%+.1f %%)\n", bench::Median(plain),
                bench::Median(journaled), pct(bench::Median(journaled), bench::Median(plain)));
    std::printf("99 overwrites      plain %.1f ms, journaled+stash %.1f ms (%+.1f %%)\n",
                bench::Median(overwritePlain), bench::Median(overwriteJournaled),
                pct(bench::Median(overwriteJournaled), bench::Median(overwritePlain)));
    std::printf("undo of both (99 restores + 99 to trash): %.1f ms\n", bench::Median(undo));
    fs::remove_all(root);
    return 0;
}
