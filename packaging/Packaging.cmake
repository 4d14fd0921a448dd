# Installs the program under its command name together with what a Linux desktop needs to
# offer it (menu entry, icon, show file type, AppStream metadata, manual page), and describes
# the Debian package that `cpack -G DEB` makes of that install.
if(NOT VELKARO_WITH_UI)
  return()
endif()

include(GNUInstallDirs)

set(VELKARO_APP_ID org.example.velkaro)
set(velkaro_packaging ${CMAKE_CURRENT_LIST_DIR})
set(velkaro_generated ${CMAKE_BINARY_DIR}/packaging)

# Directories made by the install get the usual modes whatever the umask of the one building.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The build keeps the name build/app/Velkaro; installed it is the command `velkaro`, and
# message boxes take their title from that name.
install(PROGRAMS $<TARGET_FILE:Velkaro> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME velkaro)
# The headless player, its service (off until enabled) and the service's settings, which stay
# the user's across upgrades. Both go to the system's own folders whatever the prefix.
install(TARGETS velkaro-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${velkaro_packaging}/velkaro-player.service DESTINATION /lib/systemd/system)
install(FILES ${velkaro_packaging}/velkaro-player.default DESTINATION /etc/default
  RENAME velkaro-player)

# A renamed program is no install(TARGETS), so `--strip` and CPack's stripping would pass it by;
# the comment sections go from both programs, which plain stripping keeps.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program velkaro velkaro-player)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

install(FILES ${velkaro_packaging}/${VELKARO_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${velkaro_packaging}/${VELKARO_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${velkaro_packaging}/velkaro-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${VELKARO_APP_ID}.xml)
install(FILES ${velkaro_packaging}/icons/velkaro.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VELKARO_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
  install(FILES ${velkaro_packaging}/icons/velkaro-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VELKARO_APP_ID}.png)
endforeach()

# Debian wants the manual page and the changelog compressed with gzip -9, without a time stamp
# (-n), so that two builds of one source give the same package.
find_program(VELKARO_GZIP gzip REQUIRED)
file(MAKE_DIRECTORY ${velkaro_generated})
foreach(name velkaro.1 velkaro-player.1 changelog)
  execute_process(COMMAND ${VELKARO_GZIP} -9nc ${velkaro_packaging}/${name}
    OUTPUT_FILE ${velkaro_generated}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${velkaro_packaging}/${name})
endforeach()
install(FILES ${velkaro_generated}/velkaro.1.gz ${velkaro_generated}/velkaro-player.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${velkaro_packaging}/copyright ${velkaro_generated}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velkaro)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velkaro developers")
set(CPACK_PACKAGE_CONTACT "Velkaro developers <dev@velkaro.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for DMX light shows of RGB lamps")
# Debian shows the description as written, in lines of fewer than 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
Velkaro is a desktop editor for colour light shows of RGB lamps driven over
DMX. A show is a table: each column is one output, each row is one step.
Colours are painted into the table with the mouse and mixed in a palette of
32 swatches; running lights, mirrored copies and fades are generated from
what is there. A preview bar plays the show with its step length and blend
mode. Bitmap pictures are imported and exported one pixel per cell, edits are
undone ten steps deep, and shows are saved as DMX show files for players or
exported as FSEQ sequences. velkaro-player plays a show or an FSEQ sequence
without a window through OLA, for example at boot as a systemd service.]])
# Marks the service's settings as the administrator's, kept across upgrades.
file(WRITE ${velkaro_generated}/conffiles "/etc/default/velkaro-player\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${velkaro_generated}/conffiles)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velkaro.example.org/)
# The library dependencies come from dpkg-shlibdeps; what Qt loads at run time does not show
# in the program's links: the xcb platform plugin, and the condensed face the panels are laid
# out for. Qt's German texts for its own dialogs are welcome but not needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The song's formats and sound outputs are GStreamer plugins, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-extra, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-pulseaudio | gstreamer1.0-alsa")
# The lamps get the show through olad, which live output and velkaro-player connect to.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, ola")
include(CPack)
