# `make deb`: a Debian package made by CPack from the install rules, so the package holds exactly
# what `make install` puts under /usr. dpkg-shlibdeps finds the libraries it depends on.
set(PLINX_MAINTAINER "Tallowbrook <plinx@tallowbrook.com>" CACHE STRING
  "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plinx)
set(CPACK_PACKAGE_VENDOR Tallowbrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-block puzzle with a sweeping line")
set(CPACK_PACKAGE_DESCRIPTION
  "Pieces of 2x2 cells in two colours fall into a well sixteen columns wide.
Move them, rotate their colours and let them split as they land. A sweeper
line crosses the well again and again and clears every one-colour 2x2
square it passes.

Each cleared square scores a point; the levels quicken the sweeper and
change the colours. The ten best scores are kept with their names.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${PROJECT_BINARY_DIR};plinx;Unspecified;/" "${PROJECT_BINARY_DIR};plinx;games;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PLINX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
