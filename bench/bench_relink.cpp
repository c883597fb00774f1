// Finding moved replays and duplicates over 10,000 generated replay files, each
// figure next to its floor in the same run:
//   - adding the files (collect, analyse, merge) with and without recording
//     them in the content index: on a worker thread as the window does it,
//     and hashing after the add on the one thread;
//   - hashing every file into the index, next to reading every file whole
//     (in-process and `cat`);
//   - `dups --content` (core and command), next to a stat of every file plus
//     reading the files that share a size, with the bytes it read checked
//     against what the files sharing a size need;
//   - relinking 1,000 missing entries (half with a record: tier 1, half
//     without: tier 2) moved into another folder among the 10,000.
// The page cache cannot be dropped without root, so both sides of every
// comparison run warm: the files are read once before anything is timed.
//
// The files: 24-96 KB each, spread over 10 folders with their own times two
// minutes apart; 8,600 of a size no other file has, 300 pairs and 20 triples of
// identical copies, 185 groups of four files of one size and differing bytes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "bench/BenchUtil.h"
#include "core/list/ContentIndex.h"
#include "core/list/Duplicates.h"
#include "core/list/ListFile.h"
#include "core/list/Relink.h"
#include "core/list/ReplayImport.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
using namespace replidex::test;
namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 10;
constexpr int kUnique = 8600;
constexpr int kPairs = 300;
constexpr int kTriples = 20;
constexpr int kQuads = 185;   // four files of one size, each of its own bytes
constexpr int kFiles = kUnique + 2 * kPairs + 3 * kTriples + 4 * kQuads;
constexpr int kMoved = 1000;
constexpr int kRuns = 5;
static_assert(kFiles == 10000);

enum class GroupKind { Unique, Copies, SameSize };

struct Group {
    GroupKind kind = GroupKind::Unique;
    std::size_t size = 0;
    std::vector<int> files;
};

struct BenchFiles {
    fs::path root;
    std::vector<std::string> paths;   // by file number
    std::vector<std::size_t> sizes;
    std::vector<Group> groups;
};

ReplayDescription Describe(std::mt19937_64& rng, int i, std::size_t size)
{
    ReplayDescription d = i % 5 == 0 ? OfflineDescription(i % 10 == 0) : NetMatchDescription();
    d.fileSize = size;
    d.paddingSeed = rng() | 1;
    if (d.kind == MatchType::Net) {
        d.p1.wins = static_cast<std::uint32_t>(rng() % 5000);
        d.p1.losses = static_cast<std::uint32_t>(rng() % 5000);
        d.p2.wins = static_cast<std::uint32_t>(rng() % 5000);
        d.p2.losses = static_cast<std::uint32_t>(rng() % 5000);
        d.p1.rank = static_cast<std::uint32_t>(rng() % 19);
        d.p2.rank = static_cast<std::uint32_t>(rng() % 19);
    }
    return d;
}

void WriteFile(const std::string& path, const std::string& bytes, int minutesAgo)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
}

BenchFiles MakeFiles(const fs::path& root)
{
    BenchFiles out;
    out.root = root;
    std::mt19937_64 rng(2028);
    std::vector<std::size_t> sizes(72 * 1024 + 1);
    std::iota(sizes.begin(), sizes.end(), std::size_t{24 * 1024});
    std::shuffle(sizes.begin(), sizes.end(), rng);
    std::size_t nextSize = 0;
    const auto addGroups = [&](GroupKind kind, int count, int members) {
        for (int g = 0; g < count; ++g) out.groups.push_back({kind, sizes[nextSize++], std::vector<int>(members)});
    };
    addGroups(GroupKind::Unique, kUnique, 1);
    addGroups(GroupKind::Copies, kPairs, 2);
    addGroups(GroupKind::Copies, kTriples, 3);
    addGroups(GroupKind::SameSize, kQuads, 4);

    // The members of a group land anywhere among the files.
    std::vector<int> numbers(kFiles);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    std::size_t next = 0;
    for (Group& g : out.groups)
        for (int& f : g.files) f = numbers[next++];

    out.paths.resize(kFiles);
    out.sizes.resize(kFiles);
    for (int f = 0; f < kFiles; ++f) {
        const fs::path folder = root / ("D" + std::to_string(f % kFolders));
        fs::create_directories(folder);
        char name[24];
        std::snprintf(name, sizeof name, "REPLAY%05d.RPD", f);
        out.paths[f] = (folder / name).string();
    }
    for (const Group& g : out.groups) {
        std::string bytes;
        for (std::size_t m = 0; m < g.files.size(); ++m) {
            const int f = g.files[m];
            if (m == 0 || g.kind == GroupKind::SameSize) bytes = BuildReplay(Describe(rng, f, g.size)).bytes;
            WriteFile(out.paths[f], bytes, 2 * (f + 1));
            out.sizes[f] = bytes.size();
        }
    }
    return out;
}

using bench::ReadWhole;

// NUL-separated paths for `xargs -0 -a`.
void WritePathList(const fs::path& at, const std::vector<std::string>& paths)
{
    std::ofstream out(at, std::ios::binary);
    for (const std::string& p : paths) out << p << '\0';
}

double Ms(const std::function<void()>& work)
{
    return bench::MedianMs(1, work);
}

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

std::string Quote(const fs::path& p)
{
    return "'" + p.string() + "'";
}

// The number after "key": in the last line of a command's output.
long long SummaryNumber(const fs::path& output, const std::string& key)
{
    std::ifstream in(output);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    const std::size_t at = last.find("\"" + key + "\"");
    if (at == std::string::npos) return -1;
    std::size_t digits = last.find_first_of("0123456789", at + key.size() + 2);
    return digits == std::string::npos ? -1 : std::atoll(last.c_str() + digits);
}

// Two measurements taken in turn, `kRuns` times each.
struct Pair {
    std::vector<double> a, b;
    double ma() const { return bench::Median(a); }
    double mb() const { return bench::Median(b); }
    double ratio() const { return ma() / mb(); }
};

Pair InTurn(const std::function<double()>& a, const std::function<double()>& b)
{
    Pair p;
    for (int run = 0; run < kRuns; ++run) {
        p.a.push_back(a());
        p.b.push_back(b());
    }
    return p;
}

void PrintPair(const char* what, const char* a, const char* b, const Pair& p, double target)
{
    std::printf("%s\n  %-52s %9.1f ms\n  %-52s %9.1f ms\n  ratio %.2fx (target <= %.1fx): %s\n", what, a, p.ma(),
                b, p.mb(), p.ratio(), target, p.ratio() <= target ? "met" : "MISSED");
}

// The listed document of the files, as an add into a new list makes it.
struct AddedList {
    std::unique_ptr<ReplayDocument> doc = std::make_unique<ReplayDocument>();
    std::unique_ptr<EntryPool> importPool = std::make_unique<EntryPool>();
};

// The add as the window runs it; `collected` hears of the files collected
// before they are analysed, `analysed` gets the files the add lists.
void AddFolders(AddedList& list, const fs::path& root,
                const std::function<void(std::vector<IndexJob>)>& collected = {},
                std::vector<IndexJob>* analysed = nullptr)
{
    list.doc->clear();
    list.doc->root = list.doc->addTopLevel("Root");
    ImportTree tree(*list.importPool);
    for (int d = 0; d < kFolders; ++d) AddReplayFolder(tree, tree.root(), (root / ("D" + std::to_string(d))).string());
    if (collected) collected(CollectedFiles(tree.pool()));
    (void)AnalysePending(tree, CountPending(tree.pool(), tree.root()));
    if (analysed) *analysed = AnalysedFiles(tree.pool());
    MergeStats stats;
    MergeImports(&tree, tree.root(), list.doc.get(), list.doc->root, &stats);
    DeleteImportTree(tree);
}

// The recording thread of the window (ContentRecorder) for one add: the
// collected files are hashed while the add analyses them, then the files the
// add lists are recorded (hashing any not hashed yet) and the index file is
// saved. Both passes run on one worker thread, one after the other.
class RecordingThread {
public:
    explicit RecordingThread(fs::path indexFile) : indexFile_(std::move(indexFile)) {}
    ~RecordingThread() { finish(); }

    void hashCollected(std::vector<IndexJob> files)
    {
        worker_ = std::thread([this, files = std::move(files)]() mutable {
            ContentIndex stored;
            stored.load(indexFile_.string());
            ContentIndex early;
            (void)RecordJobs(WithoutRecords(std::move(files), stored), early);
            std::vector<IndexJob> added = added_.get_future().get();
            stored.load(indexFile_.string());
            ContentIndex fresh;
            added = TakeEarlyRecords(WithoutRecords(std::move(added), stored), early, fresh);
            recorded_ = static_cast<int>(fresh.size());
            recorded_ += RecordJobs(added, fresh).recorded;
            // What the window's save does: the index as the file holds it, the new records put in.
            stored.load(indexFile_.string());
            for (const ContentRecord* record : fresh.sorted()) stored.put(*record);
            stored.save(indexFile_.string());
        });
    }
    void recordAdded(std::vector<IndexJob> files) { added_.set_value(std::move(files)); }
    // Waits until every added file is recorded and saved; the records.
    int finish()
    {
        if (worker_.joinable()) worker_.join();
        return recorded_;
    }

private:
    fs::path indexFile_;
    std::promise<std::vector<IndexJob>> added_;
    std::thread worker_;
    int recorded_ = 0;
};

}  // namespace

int main()
{
    const fs::path work = fs::temp_directory_path() / ("bench_relink." + std::to_string(::getpid()));
    const fs::path replays = work / "replays", noIndex = work / "data-empty", withIndex = work / "data-index";
    const fs::path listFile = work / "list.rdx", output = work / "out.jsonl";
    fs::create_directories(noIndex);
    const BenchFiles files = MakeFiles(replays);
    std::vector<char> buffer(1 << 17);
    std::uint64_t allBytes = 0;
    for (const std::string& p : files.paths) allBytes += ReadWhole(p, buffer);   // into the page cache

    // What the files sharing a size cost: read once (the floor), and what a
    // content grouping must read of them: a pair is compared (both read
    // whole), a larger group hashed, then each further copy compared with the
    // first.
    std::vector<std::string> shared;
    std::uint64_t sharedBytes = 0, expectedDupBytes = 0, expectedDupBytesIndexed = 0, uniqueBytes = 0;
    for (const Group& g : files.groups) {
        if (g.kind == GroupKind::Unique) {
            uniqueBytes += g.size;
            continue;
        }
        for (const int f : g.files) shared.push_back(files.paths[f]);
        const std::uint64_t n = g.files.size();
        sharedBytes += n * g.size;
        const std::uint64_t compares = g.kind == GroupKind::Copies ? 2 * (n - 1) * g.size : 0;
        expectedDupBytes += n == 2 ? compares : n * g.size + compares;
        expectedDupBytesIndexed += compares;
    }
    const fs::path allList = work / "all.paths", sharedList = work / "shared.paths";
    WritePathList(allList, files.paths);
    WritePathList(sharedList, shared);
    std::printf("%d files in %d folders, %.1f MiB; %zu share a size (%.1f MiB), %d of a size of their own\n", kFiles,
                kFolders, allBytes / 1048576.0, shared.size(), sharedBytes / 1048576.0, kUnique);
    std::printf("medians of %d runs, the two sides of each comparison in turn, warm page cache\n\n", kRuns);

    // 1. Adding with recording on, as the window does it: the add on this
    // thread, the recording on a worker thread of its own that hashes the
    // collected files while they are analysed, timed until every added file
    // is recorded in a new index file; next to the add alone.
    AddedList added;
    const fs::path recorderIndex = work / "data-recorder" / "content-index";
    int recorderRecords = 0;
    // What the player waits for: the add's own time while the recording
    // thread runs beside it (the list shows the files when the add is done).
    std::vector<double> addBesideRecording;
    const Pair add = InTurn(
        [&] {
            fs::remove(recorderIndex);
            return Ms([&] {
                RecordingThread recorder(recorderIndex);
                std::vector<IndexJob> analysed;
                addBesideRecording.push_back(Ms([&] {
                    AddFolders(added, replays,
                               [&](std::vector<IndexJob> files) { recorder.hashCollected(std::move(files)); },
                               &analysed);
                }));
                recorder.recordAdded(std::move(analysed));
                recorderRecords = recorder.finish();
            });
        },
        [&] { return Ms([&] { AddFolders(added, replays); }); });
    PrintPair("add 10,000 files (collect, analyse, merge) into a new list:",
              "add + recording thread, until all recorded and saved", "add alone", add, 1.5);
    std::printf("  records saved by the recording thread: %d\n", recorderRecords);
    PrintPair("the add itself with recording on (until merged; the recording thread goes on):",
              "add beside the recording thread", "add alone", Pair{addBesideRecording, add.b}, 1.5);
    // The same with the hashing after the add on this one thread, as it was
    // before the recording thread started at collection.
    ContentIndex fullIndex;
    const Pair addThenHash = InTurn(
        [&] {
            return Ms([&] {
                AddFolders(added, replays);
                fullIndex = ContentIndex{};
                (void)RecordJobs(UnrecordedEntries(*added.doc, fullIndex), fullIndex);
            });
        },
        [&] { return Ms([&] { AddFolders(added, replays); }); });
    PrintPair("the add, then hashing every added file, on one thread:", "add, then hash", "add alone", addThenHash,
              1.5);
    AddFolders(added, replays);
    fullIndex = ContentIndex{};
    const IndexRunStats recorded = RecordJobs(UnrecordedEntries(*added.doc, fullIndex), fullIndex);
    std::printf("  records: %d (skipped %d)\n\n", recorded.recorded, recorded.skipped);
    SaveListFileNative(listFile.string(), *added.doc);
    fullIndex.save((withIndex / "replidex" / "content-index").string());

    // 2. Hashing every file, next to reading every file whole.
    const std::vector<IndexJob> allJobs = UnrecordedEntries(*added.doc, ContentIndex{});
    const Pair hashInProcess = InTurn(
        [&] {
            ContentIndex index;
            return Ms([&] { (void)RecordJobs(allJobs, index); });
        },
        [&] { return Ms([&] { for (const std::string& p : files.paths) ReadWhole(p, buffer); }); });
    PrintPair("hash every file into the index, in-process:", "RecordJobs (open, read + XXH3-128, fstat)",
              "read every file whole (fread, 128 KB buffer)", hashInProcess, 1.2);
#ifdef REPLIDEX_CLI_PATH
    const std::string cli = std::string("'") + REPLIDEX_CLI_PATH + "'";
    const fs::path scratchIndex = work / "data-scratch";
    const std::string indexCommand = "XDG_DATA_HOME=" + Quote(scratchIndex) + " " + cli + " index " +
                                     Quote(listFile) + " > " + Quote(output);
    const std::string catAll = "xargs -0 -a " + Quote(allList) + " cat > /dev/null";
    const Pair hashCommand = InTurn(
        [&] {
            fs::remove_all(scratchIndex);
            return Ms([&] { Run(indexCommand); });
        },
        [&] { return Ms([&] { Run(catAll); }); });
    PrintPair("the same by command:", "replidex-cli index LIST (new index, saved)",
              "xargs cat of every file > /dev/null", hashCommand, 1.2);
    std::printf("  index bytesRead %lld of %llu\n", SummaryNumber(output, "bytesRead"),
                static_cast<unsigned long long>(allBytes));
#endif
    std::printf("\n");

    // 3. Content duplicates, next to a stat of every file plus reading the
    // files that share a size.
    DuplicateOptions contentOnly{false, true, false};
    DuplicateStats dupStats;
    std::size_t contentGroups = 0;
    const Pair dupsInProcess = InTurn(
        [&] {
            return Ms([&] {
                dupStats = DuplicateStats{};
                contentGroups = FindDuplicates(*added.doc, contentOnly, nullptr, &dupStats).size();
            });
        },
        [&] {
            return Ms([&] {
                for (const std::string& p : files.paths) (void)StatFile(p);
                for (const std::string& p : shared) ReadWhole(p, buffer);
            });
        });
    PrintPair("content duplicates, no index, in-process:", "FindDuplicates (content)",
              "stat every file + read the files sharing a size", dupsInProcess, 1.5);
    const auto bytesLine = [&](long long got, std::uint64_t expected) {
        std::printf("  bytesRead %lld; the files sharing a size need %llu (hash or compare); "
                    "read beyond that: %lld (files of a size of their own hold %llu)\n",
                    got, static_cast<unsigned long long>(expected), got - static_cast<long long>(expected),
                    static_cast<unsigned long long>(uniqueBytes));
    };
    bytesLine(static_cast<long long>(dupStats.bytesRead), expectedDupBytes);
    std::printf("  groups %zu (expected %d), files hashed %d\n", contentGroups, kPairs + kTriples,
                dupStats.filesHashed);
#ifdef REPLIDEX_CLI_PATH
    const std::string floorCommand = "xargs -0 -a " + Quote(allList) + " stat -c %s > /dev/null && xargs -0 -a " +
                                     Quote(sharedList) + " cat > /dev/null";
    for (const fs::path& data : {noIndex, withIndex}) {
        const std::string dups = "XDG_DATA_HOME=" + Quote(data) + " " + cli + " dups " + Quote(listFile) +
                                 " --content > " + Quote(output);
        const Pair dupsCommand = InTurn([&] { return Ms([&] { Run(dups); }); },
                                        [&] { return Ms([&] { Run(floorCommand); }); });
        PrintPair(data == noIndex ? "the same by command, no index:" : "the same by command, every file recorded:",
                  "replidex-cli dups LIST --content", "xargs stat of every file + xargs cat of the sharing ones",
                  dupsCommand, 1.5);
        bytesLine(SummaryNumber(output, "bytesRead"), data == noIndex ? expectedDupBytes : expectedDupBytesIndexed);
    }
#endif
    std::printf("\n");

    // 4. Relinking 1,000 entries whose files moved into another folder among
    // the 10,000: every tenth file; the odd ones lose their record (tier 2).
    const fs::path moved = replays / "moved";
    fs::create_directories(moved);
    std::vector<std::string> newPlace(kFiles);
    ContentIndex relinkIndex = fullIndex;
    for (int f = 3, n = 0; f < kFiles; f += kFiles / kMoved, ++n) {
        newPlace[f] = (moved / fs::path(files.paths[f]).filename()).string();
        fs::rename(files.paths[f], newPlace[f]);
        if (n % 2 == 1) relinkIndex.erase(files.paths[f]);   // the paths are ASCII: Shift-JIS as they are
    }
    const fs::path relinkData = work / "data-relink";
    relinkIndex.save((relinkData / "replidex" / "content-index").string());
    std::vector<double> relinkTimes;
    std::vector<RelinkProposal> proposals;
    RelinkStats relinkStats;
    int relinked = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto doc = std::make_unique<ReplayDocument>();
        OpenListFileNative(listFile.string(), *doc);
        relinkStats = RelinkStats{};
        relinkTimes.push_back(Ms([&] {
            const std::vector<FoundFile> found = FindReplayFiles(replays.string());
            proposals = FindRelinks(*doc, nullptr, found, relinkIndex, RelinkOptions{true, true, false}, &relinkStats);
            relinked = ApplyRelinks(proposals, &relinkIndex);
        }));
        relinkIndex = fullIndex;   // ApplyRelinks moved the records
        for (int f = 3, n = 0; f < kFiles; f += kFiles / kMoved, ++n)
            if (n % 2 == 1) relinkIndex.erase(files.paths[f]);
    }
    int tier1 = 0, tier2 = 0, wrong = 0;
    for (const RelinkProposal& p : proposals) {
        (p.tier == 1 ? tier1 : tier2) += p.ticked;
        std::string nativeOld = p.oldPath;
        const auto number = std::atoi(nativeOld.c_str() + nativeOld.size() - 9);
        wrong += !p.ticked || p.found.nativePath != newPlace[number];
    }
    const double relinkMs = bench::Median(relinkTimes);
    std::printf("relink 1,000 missing entries among %d files (tiers 1-2), in-process:\n", relinkStats.filesSeen);
    std::printf("  walk + stat + find + apply                           %9.1f ms (target < 1000): %s\n", relinkMs,
                relinkMs < 1000 ? "met" : "MISSED");
    std::printf("  missing %d, proposals %zu, relinked %d (tier 1: %d, tier 2: %d), wrong or unticked %d\n",
                relinkStats.missingEntries, proposals.size(), relinked, tier1, tier2, wrong);
    std::printf("  analysed %d, hashed %d, bytesRead %llu\n", relinkStats.analysed, relinkStats.hashed,
                static_cast<unsigned long long>(relinkStats.bytesRead));
#ifdef REPLIDEX_CLI_PATH
    const std::string relink = "XDG_DATA_HOME=" + Quote(scratchIndex) + " " + cli + " relink " + Quote(listFile) +
                               " " + Quote(replays) + " --tiers 1,2 --write " + Quote(work / "relinked.rdx") + " > " +
                               Quote(output);
    std::vector<double> relinkCommandTimes;
    for (int run = 0; run < kRuns; ++run) {
        fs::remove_all(scratchIndex);
        fs::copy(relinkData, scratchIndex, fs::copy_options::recursive);
        relinkCommandTimes.push_back(Ms([&] { Run(relink); }));
    }
    const double relinkCommandMs = bench::Median(relinkCommandTimes);
    std::printf("  replidex-cli relink LIST DIR --tiers 1,2 --write OUT %9.1f ms (target < 1000): %s\n",
                relinkCommandMs, relinkCommandMs < 1000 ? "met" : "MISSED");
    std::printf("  command: ticked %lld, written %lld\n", SummaryNumber(output, "ticked"),
                SummaryNumber(output, "written"));
#endif
    std::printf("\npeak RSS %.1f MiB\n", bench::PeakRssMiB());
    if (!std::getenv("KEEP")) fs::remove_all(work);
    return 0;
}
