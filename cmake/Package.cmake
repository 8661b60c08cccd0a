# `make package`: a Debian package of what `make install` installs, under /usr.
# Its name, tunnelwick_<version>_<arch>.deb, and its Version come from
# project() in CMakeLists.txt. dpkg-shlibdeps (dpkg-dev) works out the
# libraries the game needs; xmessage (x11-utils) shows only start-up failures.
set(TUNNELWICK_MAINTAINER "Tunnelwick maintainers <maintainers@tunnelwick.example.org>" CACHE STRING
    "The package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunnelwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TUNNELWICK_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS x11-utils)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "puzzle game in which a dog digs tunnels to reach a bone
A turn-based puzzle game in a 640x480 window. The dog slides through a
garden, digging tunnels through the earth; rocks drop into the tunnels
behind her. Reach the bone in as few moves as you can: the fewest moves of
every level are kept in a high-score table, and any move can be taken back.
.
It comes with 40 levels, a level editor, a level chooser that works out
every level's fewest moves, hints, and garden sounds in the background.")
include(CPack)
