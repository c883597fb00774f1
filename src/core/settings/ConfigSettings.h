// The program's own settings in the settings file: the game folder
// (section "Config") and the search options (section "Search"), the values the
// settings dialog edits besides the columns. The column layout and the recent
// lists have their own sections and units.
//
// Plain C++ over ProfileFile.
#pragma once

#include <string>

namespace replidex {

class ProfileFile;

inline constexpr int kSearchPageCount = 10;  // page size choices 100, 200, ... 1000

struct ConfigSettings {
    // "Config" / "PuyoFPath": the game replay folder (Shift-JIS); empty when
    // none is known yet.
    std::string puyoFPath;
    // "Search" / "Page": index of the search page size, hits per page =
    // (index + 1) * 100. Read into 0..9; -1 (nothing chosen) is written as it is.
    int searchPage = 0;
    // "Search" / "Exist": leave entries whose file is missing or changed out of
    // searches. Written as 1 or 0; any number but 0, and a value that is no
    // number, reads as 1.
    bool skipMissing = true;
};

// Reads the settings; missing keys (or a missing file) and values that are no
// number give the defaults above.
ConfigSettings LoadConfigSettings(const ProfileFile& file);

// Erases the "Config" and "Search" sections and writes them again in full.
// Only the profile in memory changes; the caller saves the file.
void SaveConfigSettings(ProfileFile& file, const ConfigSettings& settings);

// Hits per search page for a page index (an index outside 0..9 counts as the
// nearest end).
int SearchPageSize(int searchPage);

}  // namespace replidex
