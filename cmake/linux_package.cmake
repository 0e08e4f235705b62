# Installing on Linux and the Debian package: the program in bin/, the
# plug-in, the platform library and the font side by side in
# lib/zephyrdome/, the manual page, bash completion and the desktop's menu
# entry, icon and AppStream metadata under share/.
#   cmake --install build/linux --prefix /usr/local
#   cmake --build --preset linux --target package   # zephyrdome_<version>_amd64.deb
include(GNUInstallDirs)

# A fixed lib/, not a multiarch one: the program looks in ../lib/zephyrdome.
set(zdPrivateDir lib/zephyrdome)

# The program finds the platform library, and then the plug-in, relative to
# where it is installed, so the tree can be moved as a whole.
set_target_properties(zephyrdome_host PROPERTIES INSTALL_RPATH "$ORIGIN/../${zdPrivateDir}")
set_target_properties(zephyrdome zdplatform PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS zephyrdome_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zephyrdome zdplatform LIBRARY DESTINATION ${zdPrivateDir})
install(FILES ${ZD_BIN_DIR}/fontGray.tga DESTINATION ${zdPrivateDir})

# man wants its pages compressed; -n keeps the archive free of a time stamp.
find_program(ZD_GZIP gzip REQUIRED)
# The page's header carries the version.
configure_file(${CMAKE_SOURCE_DIR}/docs/zephyrdome.1 ${CMAKE_BINARY_DIR}/share/zephyrdome.1 @ONLY)
set(zdManPage ${CMAKE_BINARY_DIR}/share/zephyrdome.1.gz)
add_custom_command(OUTPUT ${zdManPage}
  COMMAND ${ZD_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/share/zephyrdome.1 > ${zdManPage}
  DEPENDS ${CMAKE_BINARY_DIR}/share/zephyrdome.1
  COMMENT "Compressing the manual page")
add_custom_target(zd_man_page ALL DEPENDS ${zdManPage})
install(FILES ${zdManPage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zephyrdome.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zephyrdome)

# In the desktop's menu: `zephyrdome listen`, with an icon drawn from the
# scene (packaging/icons/make_icons.sh) and the software centres' metadata.
# Its screenshot and home page are under ZD_HOMEPAGE.
set(ZD_HOMEPAGE "https://zephyrdome.example.org/" CACHE STRING
    "The project's home page, with its screenshots under images/")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.zephyrdome.zephyrdome.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/packaging/org.zephyrdome.zephyrdome.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/share/org.zephyrdome.zephyrdome.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/share/org.zephyrdome.zephyrdome.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/packaging/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zephyrdome)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zephyrdome developers <zephyrdome@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3-D music visualisation: render to video, play or listen live")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Zephyrdome turns music into a lit 3-D scene of spectrum rings, waveform ribbons and\n"
  "pumping speakers. The zephyrdome program renders audio files to MP4 or PNG, plays\n"
  "them live in a window, or visualises whatever the desktop is playing.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries need no package: dpkg-shlibdeps follows the $ORIGIN run
# paths to them inside the package.
# Video output runs the ffmpeg program; PNG frames and the live window do not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
# `listen` records from a Pulse server: PulseAudio itself or PipeWire's.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pulseaudio | pipewire-pulse")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps its debugging information; the package does not.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
