# What `cmake --install` puts where, and the Debian package cpack makes of it:
# zonefire_VERSION_amd64.deb with the libraries' packages found by dpkg-shlibdeps.

install(TARGETS zonefire-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(ZONEFIRE_UI)
  install(TARGETS zonefire RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The desktop's menu entry and its icon.
  install(FILES data/zonefire.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/zonefire.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
# The example buildings and the fire-load library with its sources.
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zonefire/examples
        FILES_MATCHING PATTERN "*.json" PATTERN "study" EXCLUDE)
install(FILES data/fire-loads.csv data/fire-loads.md DESTINATION ${CMAKE_INSTALL_DATADIR}/zonefire)
# The guide as the program's "Справка" reads it (Markdown with its pictures), the licence and
# the history. The HTML guide and the manual pages are installed by docs/.
install(FILES docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide FILES_MATCHING PATTERN "*.png")
install(FILES LICENSE CHANGELOG.md CITATION.cff README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME zonefire)
set(CPACK_PACKAGE_VENDOR "zonefire")
set(CPACK_PACKAGE_CONTACT "zonefire developers <zonefire@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-zone fire hazard calculation for buildings of rooms (Russian UI)")
set(CPACK_PACKAGE_DESCRIPTION
    "zonefire computes, per room of a small building of box-shaped rooms joined by doorways, the\n"
    "two-zone smoke-layer development, the critical times of seven hazard factors at the\n"
    "working-zone height and an evacuation verdict with a PDF report. It has a window\n"
    "(zonefire) and a headless runner (zonefire-cli) for single runs and parameter studies.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # zonefire_VERSION_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the windows' font and Qt's own Russian texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/zonefire")
set(CPACK_STRIP_FILES ON)
include(CPack)
