// Analysis speed: 10,000 generated replay files of 24-96 KB (read once so that
// they sit in the page cache) analysed one after another, next to the time to
// read the same files whole, in-process and with cat, in the same run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "core/replay/ReplayFileReader.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
using namespace replidex::test;

namespace {

constexpr int kFiles = 10000;

ReplayDescription Describe(std::mt19937_64& rng, int i)
{
    ReplayDescription d = i % 5 == 0 ? OfflineDescription(i % 10 == 0) : NetMatchDescription();
    d.fileSize = 24 * 1024 + static_cast<std::size_t>(rng() % (72 * 1024 + 1));
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

std::size_t ReadWhole(const std::string& path, std::vector<char>& buffer)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::size_t total = 0, n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) total += n;
    std::fclose(f);
    return total;
}

}  // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / "replidex-bench-analyse";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::mt19937_64 rng(2006);
    std::vector<std::string> paths;
    std::size_t bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
        const BuiltReplay built = BuildReplay(Describe(rng, i));
        const std::string path = (dir / ("REPLAY" + std::to_string(i) + ".RPD")).string();
        std::ofstream(path, std::ios::binary).write(built.bytes.data(), static_cast<std::streamsize>(built.bytes.size()));
        paths.push_back(path);
        bytes += built.bytes.size();
    }
    std::vector<char> buffer(1 << 17);
    for (const std::string& p : paths) ReadWhole(p, buffer);   // into the page cache

    const double rssBefore = bench::PeakRssMiB();
    int failures = 0;
    const double analyseMs = bench::MedianMs(5, [&] {
        failures = 0;
        ReplayInfo info;
        for (const std::string& p : paths) failures += AnalyseReplay(p, info) == kAnalyseFailed;
    });
    const double readMs = bench::MedianMs(5, [&] {
        for (const std::string& p : paths) ReadWhole(p, buffer);
    });
    const std::string cat = "cd '" + dir.string() + "' && cat *.RPD > /dev/null";
    const double catMs = bench::MedianMs(5, [&] {
        if (std::system(cat.c_str()) != 0) std::fprintf(stderr, "cat failed\n");
    });

    std::printf("%d files, %.1f MiB (24-96 KB each), %d failed analyses\n", kFiles,
                bytes / (1024.0 * 1024.0), failures);
    std::printf("%-36s %10s %14s\n", "operation (median of 5)", "ms", "files/s");
    std::printf("%-36s %10.1f %14.0f\n", "analyse every file", analyseMs, kFiles / (analyseMs / 1000));
    std::printf("%-36s %10.1f %14.0f\n", "read every file whole (fread)", readMs, kFiles / (readMs / 1000));
    std::printf("%-36s %10.1f %14.0f\n", "cat every file > /dev/null", catMs, kFiles / (catMs / 1000));
    std::printf("peak RSS: %.1f MiB (before the timed runs %.1f MiB; the generator holds the paths)\n",
                bench::PeakRssMiB(), rssBefore);
    std::filesystem::remove_all(dir);
    return 0;
}
