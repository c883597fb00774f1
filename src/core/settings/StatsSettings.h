// The statistics' settings in the settings file, section "Stats": the user's
// own handle names (keys MyName0, MyName1, ..., Shift-JIS) and the two options
// of the statistics window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace replidex {

class ProfileFile;

inline constexpr std::string_view kStatsSection = "Stats";
inline constexpr int kMaxMyNames = 20;

struct StatsSettings {
    std::vector<std::string> myNames;   // each once, none empty
    bool sameMatchOnce = true;          // "SameMatchOnce", 1 or 0
    bool excludeMissing = false;        // "ExcludeMissing", 1 or 0
};

// The names are read from MyName0 on up to the first missing key, at most
// kMaxMyNames; empty values and repeats are dropped.
StatsSettings LoadStatsSettings(const ProfileFile& file);
// Erases the section and writes it again in full (the profile in memory only).
void SaveStatsSettings(ProfileFile& file, const StatsSettings& settings);

// Names as the settings keep them: the non-empty ones, each once, in order,
// at most kMaxMyNames.
std::vector<std::string> CleanMyNames(const std::vector<std::string>& names);

}  // namespace replidex
