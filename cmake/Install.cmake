# Installed layout, all relative to the prefix:
#   games/tunnelwick                      the launcher (seeds ~/.local/share/tunnelwick)
#   lib/tunnelwick/tunnelwick             the game itself
#   share/tunnelwick/data                 pictures, sounds, levels, tables
#   share/applications/tunnelwick.desktop
#   share/icons/hicolor/32x32/apps/tunnelwick.png
#   share/man/man6/tunnelwick.6.gz
#   share/doc/tunnelwick/copyright, changelog.gz
# The launcher finds the game and the data from its own place, so the tree
# can be moved or staged with DESTDIR.
# Debian keeps games' commands in games/ (/usr/games, /usr/local/games: both on
# a user's PATH), and lintian counts a package in section games without one
# there as an error.
set(TUNNELWICK_INSTALL_BINDIR "games" CACHE STRING
    "Where the launcher goes, relative to the prefix")
set(TUNNELWICK_INSTALL_GAMEDIR "lib/tunnelwick" CACHE STRING
    "Where the game binary goes, relative to the prefix")
set(TUNNELWICK_INSTALL_DATADIR "share/tunnelwick/data" CACHE STRING
    "Where the shipped data tree goes, relative to the prefix")

install(TARGETS tunnelwick RUNTIME DESTINATION ${TUNNELWICK_INSTALL_GAMEDIR})
if(EXISTS ${CMAKE_SOURCE_DIR}/data)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${TUNNELWICK_INSTALL_DATADIR}
          USE_SOURCE_PERMISSIONS)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/tunnelwick-launcher.sh)
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/tunnelwick-launcher.sh
          DESTINATION ${TUNNELWICK_INSTALL_BINDIR} RENAME tunnelwick)
endif()

# The menu entry names the launcher by its absolute path, which is only known
# once the install prefix is (cmake --install --prefix may change it).
install(CODE "
  set(launcher \"\${CMAKE_INSTALL_PREFIX}/${TUNNELWICK_INSTALL_BINDIR}/tunnelwick\")
  file(READ \"${CMAKE_SOURCE_DIR}/dist/tunnelwick.desktop.in\" entry)
  string(REPLACE \"@TUNNELWICK_LAUNCHER@\" \"\${launcher}\" entry \"\${entry}\")
  set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications\")
  file(MAKE_DIRECTORY \"\${dest}\")
  message(STATUS \"Installing: \${dest}/tunnelwick.desktop\")
  file(WRITE \"\${dest}/tunnelwick.desktop\" \"\${entry}\")
")

# The icon is the dog's picture with its mask colour made transparent.
find_program(IMAGEMAGICK_CONVERT convert)
set(TUNNELWICK_DOG_PICTURE ${CMAKE_SOURCE_DIR}/data/graphics/zada.pcx)
if(IMAGEMAGICK_CONVERT AND EXISTS ${TUNNELWICK_DOG_PICTURE})
  set(icon ${CMAKE_BINARY_DIR}/tunnelwick.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${IMAGEMAGICK_CONVERT} ${TUNNELWICK_DOG_PICTURE} -transparent "rgb(255,0,255)"
            -background none -gravity center -resize 32x32 -extent 32x32 PNG32:${icon}
    VERBATIM
    DEPENDS ${TUNNELWICK_DOG_PICTURE}
    COMMENT "Making the icon from the dog's picture"
    VERBATIM)
  add_custom_target(tunnelwick_icon ALL DEPENDS ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/32x32/apps)
else()
  message(STATUS "No icon: needs ImageMagick's convert and data/graphics/zada.pcx")
endif()

# The manual page and the changelog go compressed, as Debian wants them, and
# without a time stamp (-n), so that the same sources give the same package.
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^tunnelwick \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/changelog's newest entry is not for version ${PROJECT_VERSION}: ${newest}")
endif()
configure_file(${CMAKE_SOURCE_DIR}/dist/tunnelwick.6 ${CMAKE_BINARY_DIR}/dist/tunnelwick.6 @ONLY)
set(compressed)
foreach(page dist/tunnelwick.6 ${CMAKE_SOURCE_DIR}/dist/changelog)
  get_filename_component(name ${page} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/${name}.gz
    COMMAND gzip -9n -c ${page} > ${CMAKE_BINARY_DIR}/dist/${name}.gz
    DEPENDS ${page} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  list(APPEND compressed ${CMAKE_BINARY_DIR}/dist/${name}.gz)
endforeach()
add_custom_target(tunnelwick_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/dist/tunnelwick.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
        DESTINATION share/doc/tunnelwick)
