// The game's replay folder: where it is by default, and whether a folder can
// serve as the game folder.
//
// Plain C++. Both answers speak of the folder as the program keeps it: a
// Shift-JIS path, converted to the file system's encoding only here.
#pragma once

#include <string>

namespace replidex {

// The folder the game keeps its replays in for the current user.
// Windows: <roaming application data>\Sega\PuyoF (the profile's current
// folder, C:\Users\<user>\AppData\Roaming\Sega\PuyoF), or
// "C:\Documents and Settings\<logon name>\Application Data\Sega\PuyoF"
// (GetUserNameW) when only that older folder exists or the system does not
// name the current one.
// Linux (the game runs under Wine): the same folder inside the Wine prefix
// ($WINEPREFIX, default ~/.wine):
//   <prefix>/drive_c/users/<user>/AppData/Roaming/Sega/PuyoF,
// or <prefix>/drive_c/users/<user>/Application Data/Sega/PuyoF when only that
// older layout exists; <user> is $USER, else the login name of the process.
// Empty when the path has no Shift-JIS form.
std::string DefaultGameFolder();

// True when `sjisFolder` names an existing folder, the only thing start-up
// asks of the game folder.
bool IsUsableGameFolder(const std::string& sjisFolder);

}  // namespace replidex
