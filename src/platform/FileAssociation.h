// The association of the list file extension with the program: double-
// clicking a list file in the file manager starts the program with the file
// as its first argument. Five operations, each answering 1 on success and 0
// on failure; none of them shows anything.
//
// Windows: the registry under HKEY_CLASSES_ROOT. The extension key ".rdx"
// gets the class name as its default value and keeps the class it had before
// in a value named after the class (the backup, and the mark that the
// association is in force); the class key holds shell\open\command
// ("<program>" "%1") and DefaultIcon (<program>,0). Undoing leaves a class
// the user chose since then, and keeps the extension key when it holds
// other values or sub-keys of the user's. Texts are stored as UTF-16 and
// read at any length.
//
// Linux (XDG), everything below the user's own $XDG_DATA_HOME and
// $XDG_CONFIG_HOME:
//   - the class is the desktop entry applications/<id>.desktop (Exec =
//     the program with the file as first argument) together with the MIME
//     type of list files, mime/packages/<id>.xml (glob "*.rdx", magic = the
//     version bytes at offset 0); the MIME and desktop caches are refreshed
//     when their tools are installed;
//   - the association is the user's default for that type in mimeapps.list;
//     the default it replaces is kept (XdgDefaults.h) and given back when
//     the association is undone, or the entry is removed when there was
//     none. Only an entry that still names the program is undone: a default
//     the user chose since then stays.
//   - IsExtensionAssociated answers whether "xdg-mime query default <type>"
//     names the program's desktop entry.
// Only the program's own class and extension (below) are known there; other
// names answer 0.
#pragma once

#include <string>

namespace replidex {

inline constexpr const char* kListFileClass = "Replidex_File";
inline constexpr const char* kListFileExtension = ".rdx";

// Creates the class with the command that opens a file with `programPath`
// (native encoding) and, with `withIcon`, the program's icon. A class that
// exists already is left as it is (its command is not brought up to date).
int RegisterFileClass(const std::string& className, const std::string& programPath, bool withIcon);
// Makes `className` the extension's class, keeping the previous one. Does
// nothing more when the association is already in force.
int AssociateExtension(const std::string& extension, const std::string& className);
int IsExtensionAssociated(const std::string& extension, const std::string& className);
// Gives the extension its previous class back, or removes it when it had none.
int UnassociateExtension(const std::string& extension, const std::string& className);
int UnregisterFileClass(const std::string& className);

#ifdef _WIN32
// The texts of the class for a program at `programPath`: the command
// ("<program>" "%1") and the icon (<program>,0).
std::string FileClassCommand(const std::string& programPath);
std::string FileClassIcon(const std::string& programPath);
#endif

}  // namespace replidex
