// Default applications of MIME types on a Linux desktop.
//
// The user's own choice lives in $XDG_CONFIG_HOME/mimeapps.list, group
// "[Default Applications]", key = the type, value = desktop file names
// separated by ";" (the first installed one counts). Everything else in that
// file is kept byte for byte when a default is set or removed.
//
// The default that was there before the program made itself the default is
// kept in $XDG_CONFIG_HOME/replidex/mimeapps-backup.list, group
// "[Previous Default Applications]", key = the type, value = the previous
// value exactly (empty when there was none), so that undoing the association
// gives the user's own choice back.
#pragma once

#include <optional>
#include <string>

namespace replidex {

// The user's own default entry for `mimeType` (its raw value), or nothing
// when the user's mimeapps.list has none.
std::optional<std::string> UserDefaultEntry(const std::string& mimeType);
// Sets it to `value`. False when the file cannot be read or written.
bool SetUserDefaultEntry(const std::string& mimeType, const std::string& value);
// Removes it. True also when there was none.
bool RemoveUserDefaultEntry(const std::string& mimeType);
// The first desktop file name of an entry's value ("a.desktop;b.desktop;" -> "a.desktop").
std::string FirstDesktopOf(const std::string& value);

// The kept previous default of `mimeType`, or nothing when none is kept.
std::optional<std::string> PreviousDefault(const std::string& mimeType);
bool KeepPreviousDefault(const std::string& mimeType, const std::string& value);
// Forgets it (the backup file goes when it holds nothing else). True also
// when none was kept.
bool DropPreviousDefault(const std::string& mimeType);

// The desktop file that "xdg-mime query default <mimeType>" names outside a
// particular desktop: the first mimeapps.list (desktop-specific ones first,
// user's before the system's, config folders before data folders) whose
// default entry names an installed application; else the first entry in a
// defaults.list or mimeinfo.cache; else the installed application for the
// type with the highest InitialPreference. Empty when none.
std::string QueryDefaultApplication(const std::string& mimeType);

}  // namespace replidex
