// Where the settings file "replidex.ini" lives.
//
// Next to the program when the file already exists there or the program's
// folder is writable, so that a copy of the program in a folder of its own
// carries its settings with it. Otherwise (an installed program) in the
// user's configuration folder: $XDG_CONFIG_HOME/replidex/ (default
// ~/.config/replidex/) on Linux, %APPDATA%\replidex\ on Windows. That folder
// is created when the file is saved (ProfileFile::save).
//
// Plain C++; paths are in the file system's own encoding (UTF-8 on Linux).
#pragma once

#include <string>

namespace replidex {

inline constexpr const char* kSettingsFileName = "replidex.ini";

// The settings file for a program whose folder is `programFolder` (with or
// without a trailing path delimiter).
std::string SettingsFilePath(const std::string& programFolder);

// The per-user configuration folder the settings fall back to, without the
// program's own sub-folder.
std::string UserConfigFolder();

// The user's home folder: $HOME, else the password database (%USERPROFILE%
// on Windows). Empty when neither is known.
std::string HomeFolder();

}  // namespace replidex
