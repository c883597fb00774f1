#include "core/settings/StatsSettings.h"

#include <algorithm>
#include <cctype>

#include "core/settings/ProfileFile.h"

namespace replidex {

namespace {

std::string NameKey(int index)
{
    return "MyName" + std::to_string(index);
}

}  // namespace

std::vector<std::string> CleanMyNames(const std::vector<std::string>& names)
{
    std::vector<std::string> kept;
    for (const std::string& name : names) {
        if (kept.size() >= static_cast<std::size_t>(kMaxMyNames)) break;
        if (!name.empty() && std::find(kept.begin(), kept.end(), name) == kept.end())
            kept.push_back(name);
    }
    return kept;
}

StatsSettings LoadStatsSettings(const ProfileFile& file)
{
    StatsSettings settings;
    const std::vector<std::string> keys = file.keyNames(kStatsSection);
    std::vector<std::string> names;
    for (int i = 0; i < kMaxMyNames; ++i) {
        const std::string key = NameKey(i);
        const bool present = std::any_of(keys.begin(), keys.end(), [&](const std::string& k) {
            return std::equal(k.begin(), k.end(), key.begin(), key.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            });
        });
        if (!present) break;
        names.push_back(file.readString(kStatsSection, key, ""));
    }
    settings.myNames = CleanMyNames(names);
    settings.sameMatchOnce = file.readInt(kStatsSection, "SameMatchOnce", 1) != 0;
    settings.excludeMissing = file.readInt(kStatsSection, "ExcludeMissing", 0) != 0;
    return settings;
}

void SaveStatsSettings(ProfileFile& file, const StatsSettings& settings)
{
    file.eraseSection(kStatsSection);
    const std::vector<std::string> names = CleanMyNames(settings.myNames);
    int written = 0;
    // A name that cannot be stored (a line break) is left out without leaving
    // a gap that would end the names on reading.
    for (const std::string& name : names)
        if (file.writeString(kStatsSection, NameKey(written), name)) ++written;
    file.writeInt(kStatsSection, "SameMatchOnce", settings.sameMatchOnce ? 1 : 0);
    file.writeInt(kStatsSection, "ExcludeMissing", settings.excludeMissing ? 1 : 0);
}

}  // namespace replidex
