#include "core/settings/ConfigSettings.h"

#include <algorithm>

#include "core/settings/ProfileFile.h"

namespace replidex {

namespace {
constexpr const char* kConfigSection = "Config";
constexpr const char* kSearchSection = "Search";
}  // namespace

ConfigSettings LoadConfigSettings(const ProfileFile& file)
{
    ConfigSettings settings;
    settings.puyoFPath = file.readString(kConfigSection, "PuyoFPath", settings.puyoFPath);
    settings.searchPage = std::clamp(file.readNumber(kSearchSection, "Page", settings.searchPage), 0,
                                     kSearchPageCount - 1);
    settings.skipMissing = file.readNumber(kSearchSection, "Exist", 1) != 0;
    return settings;
}

void SaveConfigSettings(ProfileFile& file, const ConfigSettings& settings)
{
    file.eraseSection(kConfigSection);
    // A folder name with a line break cannot be stored; the key is then left
    // out and reads as empty, as for a first start.
    file.writeString(kConfigSection, "PuyoFPath", settings.puyoFPath);
    file.eraseSection(kSearchSection);
    file.writeInt(kSearchSection, "Page", settings.searchPage);
    file.writeInt(kSearchSection, "Exist", settings.skipMissing ? 1 : 0);
}

int SearchPageSize(int searchPage)
{
    return (std::clamp(searchPage, 0, kSearchPageCount - 1) + 1) * 100;
}

}  // namespace replidex
