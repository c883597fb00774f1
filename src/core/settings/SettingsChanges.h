// What the settings dialog compares when OK is pressed: the values it
// remembered when it was shown against the values of its controls. The game
// folder, the search options and the association count as changes (they are
// written to the settings file at once); the column layout does not (it is
// applied to the list views and written when the program closes).
#pragma once

#include <string>

namespace replidex {

struct DialogSettings {
    std::string puyoFPath;   // Shift-JIS; compared byte for byte
    int searchPage = 0;      // item index of the page size, -1 for none
    bool skipMissing = true;
    bool associated = false;

    bool operator==(const DialogSettings&) const = default;
};

struct SettingsChanges {
    bool folder = false;
    bool searchPage = false;
    bool skipMissing = false;
    bool association = false;

    // Whether the settings file must be written now.
    bool any() const { return folder || searchPage || skipMissing || association; }
    bool operator==(const SettingsChanges&) const = default;
};

SettingsChanges CompareSettings(const DialogSettings& shown, const DialogSettings& chosen);

}  // namespace replidex
