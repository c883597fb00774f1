#include "core/settings/ContentIndexSettings.h"

#include "core/settings/ProfileFile.h"

namespace replidex {

ContentIndexSettings LoadContentIndexSettings(const ProfileFile& file)
{
    ContentIndexSettings settings;
    settings.record = file.readInt(kContentIndexSection, "Record", 1) != 0;
    return settings;
}

void SaveContentIndexSettings(ProfileFile& file, const ContentIndexSettings& settings)
{
    file.eraseSection(kContentIndexSection);
    file.writeInt(kContentIndexSection, "Record", settings.record ? 1 : 0);
}

}  // namespace replidex
