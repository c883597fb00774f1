// The desktop's trash: moving a file there so that the user can restore it.
//
// Linux: the freedesktop.org trash. A file on the same device as the user's
// data folder goes to the home trash, $XDG_DATA_HOME/Trash (default
// ~/.local/share/Trash); a file on another device goes to the trash of that
// device's top folder, $topdir/.Trash/$uid when the administrator made a
// shared .Trash (a folder with the sticky bit, not a link), else
// $topdir/.Trash-$uid. The file goes to files/<name> and the record of where
// it came from to info/<name>.trashinfo; a name already in the trash gets a
// number (<name>.2, <name>.3, ...). When no trash can be used for the file,
// the answer is NoTrash and the file is left where it is.
//
// Windows: the recycle bin, through the shell's file operation.
//
// Plain C++ (the command line uses it too); paths in the file system's own
// encoding.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <system_error>

#include "core/replay/SafeFileMoves.h"

namespace replidex {

// Moves the file (a link: the link itself) at `path` to the trash.
TrashResult MoveToTrash(const std::string& path, std::error_code& error);

// Like MoveToTrash, and tells where the file went: the file in the trash and
// its .trashinfo record (Windows: both left empty; the recycle bin keeps
// them to itself).
TrashResult MoveToTrashRecorded(const std::string& path, std::string& trashFile, std::string& infoFile,
                                std::error_code& error);

// Puts a trashed file back at `to` without replacing anything there
// (std::errc::file_exists then) and removes its .trashinfo record. Windows:
// operation_not_supported.
std::error_code RestoreFromTrash(const std::string& trashFile, const std::string& infoFile, const std::string& to);

// The home trash folder: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when
// XDG_DATA_HOME is unset or not absolute.
std::string HomeTrashFolder();

// A path as the Path key of a .trashinfo file holds it: every byte but
// letters, digits, "-._~" and "/" written as %XX.
std::string TrashInfoPath(std::string_view path);

// The text of a .trashinfo file for a file that came from `path` (already
// in the form of TrashInfoPath's answer) and was deleted at `when` (local
// time).
std::string TrashInfoText(std::string_view infoPath, std::time_t when);

}  // namespace replidex
