# The Debian package: `cpack -G DEB` in the build folder (scripts/package does it) makes
# norvex_<version>_amd64.deb of everything `cmake --install` installs, under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${NORVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see how files use disk space and how often they are used")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NORVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; CPack puts the summary line before it and indents it as Debian
# wants (an empty line separates paragraphs).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"File Norvex shows how the files on the machine's drives use disk space and
how often each file is used, recommends what to do with them (compress
rarely used files, decompress busy ones, back up long-unused files to
another drive, restore them when they are used again), performs those
actions safely, analyses how much space each cluster size would waste, and
configures the per-drive activity databases that a recorder keeps.

The package holds the desktop program, norvex-cli (reports and databases
without a window, as text or JSON), norvex-recorder (the activity recorder,
run for the whole machine by a systemd unit) and norvex-shadow (performs the
actions handed over by the program). The activity is kept for the members of
the group norvex, which the package creates.")
# Made as debhelper makes them: the group, the state folder, the unit enabled and started
# where systemd runs, stopped on removal, the state deleted on purge.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/maintainer/postinst
    ${PROJECT_SOURCE_DIR}/packaging/maintainer/prerm
    ${PROJECT_SOURCE_DIR}/packaging/maintainer/postrm)
# addgroup
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")

include(CPack)
