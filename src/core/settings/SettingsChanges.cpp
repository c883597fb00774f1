#include "core/settings/SettingsChanges.h"

namespace replidex {

SettingsChanges CompareSettings(const DialogSettings& shown, const DialogSettings& chosen)
{
    SettingsChanges changes;
    changes.folder = chosen.puyoFPath != shown.puyoFPath;
    changes.searchPage = chosen.searchPage != shown.searchPage;
    changes.skipMissing = chosen.skipMissing != shown.skipMissing;
    changes.association = chosen.associated != shown.associated;
    return changes;
}

}  // namespace replidex
