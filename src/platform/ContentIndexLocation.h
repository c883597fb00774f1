// Where the content index lives: $XDG_DATA_HOME/replidex/content-index
// (default ~/.local/share/replidex/) on Linux, %APPDATA%\Replidex\content-index
// on Windows. Empty when no such folder is known. The folder is made when the
// index is saved.
#pragma once

#include <string>

namespace replidex {

std::string ContentIndexPath();

}  // namespace replidex
