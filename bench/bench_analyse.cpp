// Analysis speed: 10,000 generated replay files of 24-96 KB (read once so that
// they sit in the page cache) analysed one after another, next to the time to
// read the same files whole, in-process and with cat, in the same run; then
// the CPU time of `analyse`'s lines (analysis and JSON line) next to the
// least any analysis of a file costs (open, fstat, three 4 KB positioned
// reads, close) and next to building each line as a JSON document.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench/BenchUtil.h"
#include "cli/AnalysisJson.h"
#include "cli/AnalysisLine.h"
#include "cli/Json.h"
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

using bench::ReadWhole;

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Median CPU time in milliseconds of `runs` runs of `work`.
double MedianCpuMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = CpuMs();
        work();
        times.push_back(CpuMs() - start);
    }
    return bench::Median(std::move(times));
}

// The system calls an analysis cannot do without, as the reader makes them:
// the header block and one block of each player's capture.
std::size_t TouchFile(const std::string& path, char* block)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st{};
    std::size_t got = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        for (const off_t at : {off_t{0}, off_t{11520}, off_t{22528}}) {
            const ssize_t n = ::pread(fd, block, 4096, at);
            if (n > 0) got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return got;
}

#ifdef REPLIDEX_CLI_PATH
// CPU time (user + system) of the finished child processes so far, in ms.
double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}
#endif

// The line as it was made before: a JSON document per file, dumped.
std::string DocumentLine(const std::string& path)
{
    cli::Json rest = cli::AnalysisJson(path);
    rest.erase("path");
    return "{\"path\": " + cli::PathJsonText(path) + ", " + cli::DumpSpaced(rest).substr(1) + "\n";
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

    char block[4096];
    std::size_t touched = 0;
    const double floorCpu = MedianCpuMs(7, [&] {
        for (const std::string& p : paths) touched += TouchFile(p, block);
    });
    const double analyseCpu = MedianCpuMs(7, [&] {
        ReplayInfo info;
        for (const std::string& p : paths) (void)AnalyseReplayAtNativePath(p, info);
    });
    std::FILE* devNull = std::fopen("/dev/null", "wb");
    std::string lines;
    const double linesCpu = MedianCpuMs(7, [&] {
        lines.clear();
        for (const std::string& p : paths) {
            cli::AppendAnalysisLine(p, lines);
            if (lines.size() >= (1u << 16)) {
                std::fwrite(lines.data(), 1, lines.size(), devNull);
                lines.clear();
            }
        }
        std::fwrite(lines.data(), 1, lines.size(), devNull);
    });
    const double documentCpu = MedianCpuMs(7, [&] {
        for (const std::string& p : paths) {
            const std::string line = DocumentLine(p);
            std::fwrite(line.data(), 1, line.size(), devNull);
        }
    });
    std::fclose(devNull);
#ifdef REPLIDEX_CLI_PATH
    // The whole command over the folder: start, walk, sort, analyse, print.
    const std::string command = std::string("'") + REPLIDEX_CLI_PATH + "' analyse '" + dir.string() +
                                "' > /dev/null";
    std::vector<double> commandTimes;
    for (int run = 0; run < 7; ++run) {
        const double before = ChildrenCpuMs();
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "replidex-cli failed\n");
        commandTimes.push_back(ChildrenCpuMs() - before);
    }
    const double commandCpu = bench::Median(std::move(commandTimes));
#endif
    // Both ways give the same bytes.
    std::size_t differing = 0;
    for (const std::string& p : paths) {
        std::string line;
        cli::AppendAnalysisLine(p, line);
        differing += line != DocumentLine(p);
    }

    std::printf("%d files, %.1f MiB (24-96 KB each), %d failed analyses\n", kFiles,
                bytes / (1024.0 * 1024.0), failures);
    std::printf("%-36s %10s %14s\n", "operation (median of 5)", "ms", "files/s");
    std::printf("%-36s %10.1f %14.0f\n", "analyse every file", analyseMs, kFiles / (analyseMs / 1000));
    std::printf("%-36s %10.1f %14.0f\n", "read every file whole (fread)", readMs, kFiles / (readMs / 1000));
    std::printf("%-36s %10.1f %14.0f\n", "cat every file > /dev/null", catMs, kFiles / (catMs / 1000));
    std::printf("%-44s %10s %8s\n", "CPU time (median of 7)", "ms", "x floor");
    std::printf("%-44s %10.1f %8.2f\n", "open + fstat + 3 preads + close (floor)", floorCpu, 1.0);
    std::printf("%-44s %10.1f %8.2f\n", "analysis alone", analyseCpu, analyseCpu / floorCpu);
    std::printf("%-44s %10.1f %8.2f\n", "analyse lines, one buffer (the command's)", linesCpu,
                linesCpu / floorCpu);
    std::printf("%-44s %10.1f %8.2f\n", "analyse lines, a JSON document per file", documentCpu,
                documentCpu / floorCpu);
#ifdef REPLIDEX_CLI_PATH
    std::printf("%-44s %10.1f %8.2f\n", "replidex-cli analyse FOLDER > /dev/null", commandCpu,
                commandCpu / floorCpu);
#endif
    std::printf("lines that differ between the two: %zu\n", differing);
    std::printf("peak RSS: %.1f MiB (before the timed runs %.1f MiB; the generator holds the paths)\n",
                bench::PeakRssMiB(), rssBefore);
    if (!std::getenv("KEEP")) std::filesystem::remove_all(dir);
    return 0;
}
