// The names under which the program is known to a Linux desktop: one
// reverse-DNS id for its desktop entry, its shared-mime-info package and its
// icon, and the MIME type of its list files. The files written for the user
// (FileAssociation) and the ones installed for every user carry these names,
// so that both kinds of install name the same program and type.
#pragma once

#include <string_view>

namespace replidex {

inline constexpr std::string_view kAppId = "io.github.replidex.Replidex";
// $XDG_DATA_HOME/applications/<this>, or /usr/share/applications/<this>.
inline constexpr std::string_view kDesktopFileName = "io.github.replidex.Replidex.desktop";
// $XDG_DATA_HOME/mime/packages/<this>, or /usr/share/mime/packages/<this>.
inline constexpr std::string_view kMimePackageFileName = "io.github.replidex.Replidex.xml";
// The type of a list file: glob "*.rdx", magic = its version number (1000 as
// four little-endian bytes) at offset 0.
inline constexpr std::string_view kListMimeType = "application/x-replidex-list";
// The icon file the build puts next to the program; without it the desktop
// entry names the icon by kAppId (an installed icon of that name).
inline constexpr std::string_view kIconFileName = "replidex.svg";

}  // namespace replidex
