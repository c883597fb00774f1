# `make package` (cmake --build BUILD --target package): a Debian package of
# everything `cmake --install` lays out, under /usr.
#
# The Debian packages it needs at run time are the shared libraries' owners
# (found by dpkg-shlibdeps), Qt's SVG plugins (the icons are SVG pictures,
# drawn through plugins that no program links to), a Japanese font for the
# window texts, and xdg-utils for opening the help page and folders; Qt's own
# Japanese texts are recommended.
#
# The MIME database, the desktop entries' MIME cache and the icon cache are
# brought up to date by the file triggers of shared-mime-info
# (/usr/share/mime/packages), desktop-file-utils (/usr/share/applications)
# and hicolor-icon-theme (/usr/share/icons/hicolor), on install and on
# removal alike; so the package carries no maintainer scripts and recommends
# those three.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME replidex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Replidex developers")
set(CPACK_PACKAGE_CONTACT "Replidex developers <replidex@users.noreply.github.com>" CACHE STRING
    "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "replay-list manager for an old Windows puzzle game")
set(CPACK_PACKAGE_DESCRIPTION
"Replidex keeps any number of the game's replay files, anywhere on disk, in
a replay list: a tree of named folders, each holding an ordered list of
replays. It shows what each replay file says (net or offline match, score,
handle names, ranks, wins and losses, characters) and whether the file
changed or went missing, keeps memos, searches the list, and copies chosen
replays into the game's replay folder under free numbers. Lists are saved as
.rdx files. replidex-cli does the same work from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)   # replidex_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${REPLIDEX_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-ipafont-gothic, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "shared-mime-info, desktop-file-utils, hicolor-icon-theme, qt6-translations-l10n")

include(CPack)
