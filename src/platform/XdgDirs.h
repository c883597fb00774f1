// The XDG base directories, read from the environment the way the desktop
// tools read them: $XDG_DATA_HOME and $XDG_CONFIG_HOME when absolute, else
// ~/.local/share and ~/.config; the system lists $XDG_DATA_DIRS and
// $XDG_CONFIG_DIRS, else /usr/local/share:/usr/share and /etc/xdg.
#pragma once

#include <string>
#include <vector>

namespace replidex {

// Empty when neither the variable nor a home folder is known.
std::string XdgDataHome();
std::string XdgConfigHome();
std::vector<std::string> XdgDataDirs();
std::vector<std::string> XdgConfigDirs();
// The names in $XDG_CURRENT_DESKTOP, in order, lower-cased.
std::vector<std::string> XdgCurrentDesktops();

}  // namespace replidex
