// Small helpers shared by the bench programs: timing and memory readings.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace replidex::bench {

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Median wall time in milliseconds of `runs` runs of `work`.
inline double MedianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return Median(std::move(times));
}

// Peak resident set size of this process so far, in MiB.
inline double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Current resident set size, in MiB.
inline double CurrentRssMiB()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// Reads a whole file through `buffer` (the floor of "reading the files");
// the bytes read, 0 when it cannot be opened.
inline std::size_t ReadWhole(const std::string& path, std::vector<char>& buffer)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::size_t total = 0, n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) total += n;
    std::fclose(f);
    return total;
}

}  // namespace replidex::bench
