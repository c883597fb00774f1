// Where archived replays go unless the user chooses another folder.
//
// Linux: $XDG_DATA_HOME/replidex/replays (default ~/.local/share);
// Windows: %APPDATA%\Replidex\replays. The window program and the command
// line share it. Paths in the file system's own encoding.
#pragma once

#include <string>

namespace replidex {

// Empty when neither the variable nor a home folder is known.
std::string DefaultArchiveFolder();

}  // namespace replidex
