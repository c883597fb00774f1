// Starting the help viewer and the file manager. Each answers whether the
// program could be started; the window shows the failure message.
//
// Windows: "C:\Windows\hh.exe <programFolder>Replidex.chm" and
// "C:\Windows\explorer.exe <folder>". Linux: xdg-open on the HTML help page
// (HelpPagePath), resp. on the folder; a page or folder that does not exist
// counts as a failure, since xdg-open would only fail later and silently.
#pragma once

#include <string>

namespace replidex {

// The HTML help page of a program whose folder is `programFolder`: the first
// of these that is a file, or empty text when neither is.
//   1. <programFolder>/help/index.html: the build tree, and a copy of the
//      program kept in a folder of its own, carry their page beside them;
//   2. <programFolder>/../share/replidex/help/index.html: an installed
//      program (bin/replidex) finds it in the install's data folder. The
//      build sets this relative path from its install folders.
// `programFolder` is in the file system's own encoding, with or without a
// trailing path delimiter.
std::string HelpPagePath(const std::string& programFolder);

// `programFolder` is in the file system's own encoding, with or without a
// trailing path delimiter.
bool OpenHelp(const std::string& programFolder);

// `sjisFolder` is the game folder as the program keeps it (Shift-JIS).
bool OpenFileManager(const std::string& sjisFolder);

}  // namespace replidex
