# Where the desktop integration files go, relative to the install prefix.
# Shared by the install rules and by the tests that look for the installed
# files, so the two cannot drift apart.
include(GNUInstallDirs)

set(TESSAPLEX_APP_ID io.github.tessaplex.Tessaplex)

# udev reads /usr/lib/udev/rules.d and /usr/local/lib/udev/rules.d, so a path
# relative to the prefix is right for both /usr and /usr/local, and it lets
# DESTDIR and CPack's staging prefix apply. This is deliberately not
# CMAKE_INSTALL_LIBDIR: Debian's multiarch lib/x86_64-linux-gnu is not a
# place udev looks.
set(TESSAPLEX_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Directory for the udev rule; relative paths are taken from the install prefix")

set(TESSAPLEX_APPLICATIONS_DIR "${CMAKE_INSTALL_DATADIR}/applications")
set(TESSAPLEX_METAINFO_DIR "${CMAKE_INSTALL_DATADIR}/metainfo")
set(TESSAPLEX_ICONS_DIR "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
set(TESSAPLEX_MAN1_DIR "${CMAKE_INSTALL_MANDIR}/man1")
# Where bash-completion looks for a command's completion on first use.
set(TESSAPLEX_BASH_COMPLETION_DIR "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
