// Opening and saving a full list (65,536 entries, folders 8 deep, entries
// sharing folder paths), and a search that hits every entry, each next to the
// time to read or write the same bytes raw.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "bench/BenchData.h"
#include "bench/BenchUtil.h"
#include "core/list/ListFile.h"
#include "core/search/SearchRun.h"
#include "core/text/SjisCodec.h"

using namespace replidex;

namespace {

constexpr int kDepth = 8;
constexpr int kFoldersPerLevel = 2;   // 2^8 = 256 leaf folders
constexpr int kEntries = EntryPool::kSlotCount;


// Leaf folders 8 levels below the root; every leaf holds 256 entries whose
// files lie in shared disk folders of 64 files each. Scattered: a leaf takes
// every 256th file, so neighbours in a folder never share their disk folder
// and the file stores every entry's path (the worst case for the reader).
// Grouped: a leaf takes 256 files in a row, as adding a disk folder does, so
// neighbours share their path and the file stores it once per 64 entries.
enum class Layout { Scattered, Grouped };

void BuildDocument(ReplayDocument& doc, Layout layout = Layout::Scattered)
{
    doc.clear();
    ReplayFolder* root = doc.addTopLevel("Root");
    doc.root = root;
    std::vector<ReplayFolder*> level{root};
    for (int d = 0; d < kDepth; ++d) {
        std::vector<ReplayFolder*> next;
        for (ReplayFolder* f : level)
            for (int c = 0; c < kFoldersPerLevel; ++c)
                next.push_back(f->addChild(Sjis("フォルダ") + std::to_string(d) + "_" + std::to_string(c)));
        level = std::move(next);
    }
    for (int i = 0; i < kEntries; ++i) {
        ReplayEntry* e = doc.pool.allocate();
        e->kind = kReplayEntryKind;
        e->folderPath = "/home/player/.wine/drive_c/replays/" + std::to_string(i / 64) + "/";
        char name[32];
        std::snprintf(name, sizeof name, "REPLAY%02d.RPD", i % 100);
        e->fileName = name;
        e->fileAge = 0x35836000 + i;
        if (i % 8 == 0) e->memo = Sjis("いい試合\n連鎖がきれい");
        e->info.emplace();
        bench::FillInfo(*e->info, i);
        const std::size_t leaf = layout == Layout::Scattered
                                     ? static_cast<std::size_t>(i) % level.size()
                                     : static_cast<std::size_t>(i) / (kEntries / level.size());
        level[leaf]->entryList().push_back(e->poolIndex);
    }
}

std::string ReadRaw(const std::string& path)
{
    std::string bytes(std::filesystem::file_size(path), '\0');
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

void WriteRaw(const std::string& path, const std::string& bytes, bool sync)
{
    const std::string temp = path + ".raw";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, bytes.data(), bytes.size()) < 0) std::perror("write");
    if (sync) ::fsync(fd);
    ::close(fd);
    std::rename(temp.c_str(), path.c_str());
}

}  // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / "replidex-bench-list";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "list.rdx").string();
    const std::string rawPath = (dir / "raw.rdx").string();

    ReplayDocument doc;
    BuildDocument(doc);
    const std::string bytes = WriteListBytes(doc);
    std::printf("list: %d entries, %d folder levels, %.1f MiB\n", kEntries, kDepth + 1,
                bytes.size() / (1024.0 * 1024.0));

    // The document as a user has it: opened from its file, then saved.
    SaveListFile(path, doc);
    if (const char* opens = std::getenv("OPENS")) {   // for profiling the open alone
        ReplayDocument again;
        for (int i = std::atoi(opens); i > 0; --i) OpenListFile(path, again);
        std::filesystem::remove_all(dir);
        return 0;
    }
    const double rssBefore = bench::CurrentRssMiB();
    ReplayDocument opened;
    const double firstOpenMs = bench::MedianMs(1, [&] { OpenListFile(path, opened); });
    const double rssAfter = bench::CurrentRssMiB();
    // Opening a list replaces the one open before it: closing that one is
    // timed apart from reading the new one.
    std::vector<double> closeTimes, openTimes;
    for (int run = 0; run < 7; ++run) {
        closeTimes.push_back(bench::MedianMs(1, [&] { opened.clear(); }));
        openTimes.push_back(bench::MedianMs(1, [&] { OpenListFile(path, opened); }));
    }
    const double closeMs = bench::Median(closeTimes);
    const double openMs = bench::Median(openTimes);
    const double rawReadMs = bench::MedianMs(7, [&] { (void)ReadRaw(path); });
    // What no reader can beat: the read, then each entry's share of the bytes
    // copied into an entry-sized slot of memory already in use, no parsing.
    std::vector<char> slots(static_cast<std::size_t>(kEntries) * sizeof(ReplayEntry));
    const double floorMs = bench::MedianMs(7, [&] {
        const std::string raw = ReadRaw(path);
        const std::size_t share = raw.size() / kEntries;
        const std::size_t copied = std::min(share, sizeof(ReplayEntry));
        for (std::size_t i = 0; i < static_cast<std::size_t>(kEntries); ++i) {
            char* slot = slots.data() + i * sizeof(ReplayEntry);
            std::memcpy(slot, raw.data() + i * share, copied);
            std::memset(slot + copied, 0, sizeof(ReplayEntry) - copied);
        }
    });

    // The same entries with each disk folder's files side by side.
    const std::string groupedPath = (dir / "grouped.rdx").string();
    {
        ReplayDocument grouped;
        BuildDocument(grouped, Layout::Grouped);
        SaveListFile(groupedPath, grouped);
    }
    const double groupedMiB = std::filesystem::file_size(groupedPath) / (1024.0 * 1024.0);
    std::vector<double> groupedTimes;
    for (int run = 0; run < 7; ++run) {
        opened.clear();
        groupedTimes.push_back(bench::MedianMs(1, [&] { OpenListFile(groupedPath, opened); }));
    }
    const double groupedOpenMs = bench::Median(groupedTimes);
    const double groupedRawMs = bench::MedianMs(7, [&] { (void)ReadRaw(groupedPath); });
    OpenListFile(path, opened);

    const double saveMs = bench::MedianMs(7, [&] { SaveListFile(path, opened); });
    const double serialiseMs = bench::MedianMs(7, [&] { (void)WriteListBytes(opened); });
    const double rawWriteSyncMs = bench::MedianMs(7, [&] { WriteRaw(rawPath, bytes, true); });
    const double rawWriteMs = bench::MedianMs(7, [&] { WriteRaw(rawPath, bytes, false); });

    SearchCriteria criteria;      // rank "１０きゅう" or higher: every net player
    criteria.useRank = true;
    criteria.rankIndex = 0;
    criteria.rankCompare = kRankAtLeast;
    int hits = 0;
    const double markMs = bench::MedianMs(7, [&] { MarkScope(opened.pool, opened.root, false); });
    const double searchMs = bench::MedianMs(7, [&] {
        std::vector<std::int32_t> found;
        hits = RunHitSearch(opened.pool, criteria, &found).hitCount;
    });

    std::printf("%-34s %10s\n", "operation", "median ms");
    std::printf("%-34s %10.1f\n", "save (write, fsync, rename)", saveMs);
    std::printf("%-34s %10.1f\n", "  of which serialising", serialiseMs);
    std::printf("%-34s %10.1f\n", "raw write + fsync + rename", rawWriteSyncMs);
    std::printf("%-34s %10.1f\n", "raw write + rename (no fsync)", rawWriteMs);
    std::printf("%-34s %10.1f\n", "open", openMs);
    std::printf("%-34s %10.1f\n", "first open (fresh memory)", firstOpenMs);
    std::printf("%-34s %10.1f   (%.1f MiB)\n", "open, disk folders grouped", groupedOpenMs, groupedMiB);
    std::printf("%-34s %10.1f\n", "raw read, disk folders grouped", groupedRawMs);
    std::printf("%-34s %10.1f\n", "close (free the open list)", closeMs);
    std::printf("%-34s %10.1f\n", "raw read", rawReadMs);
    std::printf("%-34s %10.1f   (%zu-byte entries)\n", "raw read + copy into entry slots", floorMs,
                sizeof(ReplayEntry));
    std::printf("%-34s %10.2f\n", "mark scope (whole list)", markMs);
    std::printf("%-34s %10.2f   (%d hits)\n", "search hitting every entry", searchMs, hits);
    std::printf("open document: %.1f MiB resident (process peak %.1f MiB)\n", rssAfter - rssBefore,
                bench::PeakRssMiB());
    if (!std::getenv("KEEP")) std::filesystem::remove_all(dir);
    return 0;
}
