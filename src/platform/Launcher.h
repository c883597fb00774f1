// Starting the help viewer and the file manager. Each answers whether the
// program could be started; the window shows the failure message.
//
// Windows: "C:\Windows\hh.exe <programFolder>Replidex.chm" and
// "C:\Windows\explorer.exe <folder>". Linux: xdg-open on the HTML help page
// "<programFolder>/help/index.html", resp. on the folder; a page or folder
// that does not exist counts as a failure, since xdg-open would only fail
// later and silently.
#pragma once

#include <string>

namespace replidex {

// `programFolder` is in the file system's own encoding, with or without a
// trailing path delimiter.
bool OpenHelp(const std::string& programFolder);

// `sjisFolder` is the game folder as the program keeps it (Shift-JIS).
bool OpenFileManager(const std::string& sjisFolder);

}  // namespace replidex
