# What `cmake --install` lays out under the prefix, and the Debian package CPack makes of it.
#
#   lib/brellion/Brellion                 the manager; starts PREVIEW/Varno beside itself
#   lib/brellion/PREVIEW/Varno            the previewer; reads font/ beside itself
#   lib/brellion/PREVIEW/font/            the board fonts and their licences
#   lib/brellion/<tool>                   signsim, varno-render, effect-sheets, fontgen
#   bin/<program> -> ../lib/brellion/...  links; each program finds its files through its
#                                         own real path, never through the link
#   share/applications, share/mime/packages, share/icons: desktop entry, the project file
#                                         type (*.dat opens in the manager) and the icon
#
# The installed folder is read-only to its users; the programs then keep the work store
# and the preview file in the user's data folder (qtshared/program_folders.h).
set(BRELLION_INSTALL_DIR lib/brellion)
set(brellion_links ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${brellion_links})

# brellion_install_program(TARGET [SUBDIR dir] [LINK]): the program into lib/brellion[/dir],
# with a link of its name in bin when LINK is given.
function(brellion_install_program target)
  cmake_parse_arguments(ARG "LINK" "SUBDIR" "" ${ARGN})
  if(NOT TARGET ${target})
    return()
  endif()
  set(dest ${BRELLION_INSTALL_DIR})
  set(relative ../${BRELLION_INSTALL_DIR})
  if(ARG_SUBDIR)
    string(APPEND dest /${ARG_SUBDIR})
    string(APPEND relative /${ARG_SUBDIR})
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${dest})
  if(ARG_LINK)
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
      set(name ${target})
    endif()
    # A relative link made here and installed as a link, so it holds under any prefix and
    # in the package's staging folder.
    file(CREATE_LINK ${relative}/${name} ${brellion_links}/${name} SYMBOLIC)
    install(FILES ${brellion_links}/${name} DESTINATION bin)
  endif()
endfunction()

brellion_install_program(Brellion LINK)
brellion_install_program(Varno SUBDIR PREVIEW LINK)
brellion_install_program(signsim LINK)
brellion_install_program(varno-render LINK)
brellion_install_program(effect-sheets LINK)
brellion_install_program(brellion-cli LINK)
# A build tool; installed for regenerating the tables, not put on the PATH under so
# general a name.
brellion_install_program(fontgen)

if(TARGET board_fonts)
  install(DIRECTORY ${BRELLION_FONT_DIR}/ DESTINATION ${BRELLION_INSTALL_DIR}/PREVIEW/font
          PATTERN "*.tmp" EXCLUDE)
endif()

if(TARGET Brellion)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/brellion.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/brellion-mime.xml
          DESTINATION share/mime/packages RENAME brellion.xml)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/brellion.svg
          DESTINATION share/icons/hicolor/scalable/apps)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/brellion)

# cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME brellion)
set(CPACK_PACKAGE_VERSION 15.8)
set(CPACK_PACKAGE_VENDOR "Brellion developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Manager and previewer of an LED display board")
set(CPACK_PACKAGE_DESCRIPTION
    "Brellion composes the play list of an LED display board (texts, pictures, animations, \
clock, D-day and temperature items) and sends it to the sign over RS-232 or TCP/IP. Varno, \
the previewer, plays the list on screen the way the sign would.")
set(CPACK_PACKAGE_CONTACT "Brellion developers <brellion@localhost>"
    CACHE STRING "Maintainer written into the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The linked libraries come from dpkg-shlibdeps; what Qt loads at run time it cannot see:
# the platform plugins, and the Korean texts of Qt's own dialogs and buttons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-nanum")
include(CPack)
