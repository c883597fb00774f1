// Where the journal of the game-folder operations lives, and the trash as
// the journal uses it.
//
// Linux: $XDG_STATE_HOME/replidex/journal (default ~/.local/state);
// Windows: %LOCALAPPDATA%\Replidex\journal. The window program and the
// command line share it.
#pragma once

#include <string>

#include "core/journal/Journal.h"

namespace replidex {

std::string JournalFolder();
JournalTrash PlatformJournalTrash();

}  // namespace replidex
