// The two files that make a desktop know the program and its list files: the
// desktop entry (how to start the program on a file) and the shared-mime-info
// package (which files are list files). Their texts, and writing them under
// the user's data folder with the desktop's caches brought up to date.
#pragma once

#include <string>
#include <string_view>

namespace replidex {

// One argument of an Exec key: as it is when it holds no reserved character,
// else in double quotes with ", `, $ and \ escaped; "%" doubled in both
// cases. (The key's value is then written with DesktopStringValue.)
std::string DesktopExecArgument(std::string_view argument);
// A value of the string type: backslash, newline, tab and carriage return
// written as \\, \n, \t and \r.
std::string DesktopStringValue(std::string_view value);
// The program an Exec value starts: its first argument with quotes and
// escapes undone (both levels). Empty when there is none.
std::string ExecProgram(std::string_view execValue);

// The desktop entry that opens a list file with the program at
// `programPath`, the file being the program's first argument. `icon` is the
// Icon value (an absolute file or an icon name; empty for none).
std::string ListDesktopEntry(const std::string& programPath, const std::string& icon);
// The shared-mime-info package of the list file type.
std::string ListMimePackage();

// Writes `bytes` to `path` through a temporary file renamed over it, making
// the folder when missing. False on any failure (the old file then stays).
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// Runs "update-mime-database <dataHome>/mime" and/or
// "update-desktop-database <dataHome>/applications" and waits for them; a
// tool that is not installed is left out.
void RefreshXdgCaches(const std::string& dataHome, bool mime, bool desktop);

}  // namespace replidex
