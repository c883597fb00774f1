// Program-wide state the main window sets up: where the program and its
// settings file are, and the settings the program runs with.
#pragma once

#include <string>

#include "core/settings/ColumnModel.h"
#include "core/settings/ConfigSettings.h"
#include "core/settings/RecentLists.h"
#include "core/settings/ArchiveSettings.h"
#include "core/settings/SavedQueries.h"
#include "core/settings/ContentIndexSettings.h"

namespace replidex {

struct ProgramState {
    // Folder of the program file, ending in the path delimiter (file-system
    // encoding).
    std::string programFolder;
    // The settings file (file-system encoding).
    std::string iniPath;
    // The "Config" and "Search" settings; `config.puyoFPath` is the game
    // replay folder (Shift-JIS), empty until it is known.
    ConfigSettings config;
    // The recent list files and the folders replays were last added from
    // (Shift-JIS), stored in the sections "RecentRdxFile" and "RecentFolder".
    RecentLists recent;
    // The column layout shared by both replay list views.
    ColumnModel columnModel;
    // A failed write of the settings file has been told to the user (once a
    // run is enough).
    bool settingsWriteFailureTold = false;
    // The "Archive" settings: archive folder, templates, list folder, the
    // removal and watch options.
    ArchiveSettings archive;
    // The saved searches of the search window, in the section "SavedQuery".
    SavedQueries savedQueries;
    // The "ContentIndex" setting: whether file contents are recorded.
    ContentIndexSettings contentIndex;
};

}  // namespace replidex
