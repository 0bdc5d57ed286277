# Install layout under the prefix (bin/, share/applications, share/mime, share/icons,
# share/metainfo, share/man, share/orvex) and the Debian package.
include(GNUInstallDirs)

install(TARGETS orvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orvex-logger-sim)
  install(TARGETS orvex-logger-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/man/orvex-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Program data: everything the programs look up in share/orvex at run time.
install(FILES ${CMAKE_SOURCE_DIR}/data/default.col DESTINATION ${CMAKE_INSTALL_DATADIR}/orvex)
if(EXISTS ${CMAKE_SOURCE_DIR}/data/help)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help DESTINATION ${CMAKE_INSTALL_DATADIR}/orvex)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/circuits/LICENSE.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvex/circuits)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET orvex)
  install(TARGETS orvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/data/man/orvex.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/orvex.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/orvex.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/org.orvex.orvex.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon is drawn by the project's own tool into the build tree, in every theme size.
  add_executable(orvex-make-icons ${CMAKE_SOURCE_DIR}/tools/make_icons.cpp)
  target_link_libraries(orvex-make-icons PRIVATE orvex_warnings)
  target_link_libraries(orvex-make-icons PRIVATE Qt6::Gui)
  set(ORVEX_ICON_SIZES 16 24 32 48 64 128 256)
  set(ORVEX_ICON_FILES ${CMAKE_BINARY_DIR}/icons/orvex.svg)
  foreach(size ${ORVEX_ICON_SIZES})
    list(APPEND ORVEX_ICON_FILES ${CMAKE_BINARY_DIR}/icons/orvex-${size}.png)
  endforeach()
  add_custom_command(OUTPUT ${ORVEX_ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND orvex-make-icons ${CMAKE_BINARY_DIR}/icons
    DEPENDS orvex-make-icons VERBATIM)
  add_custom_target(orvex-icons ALL DEPENDS ${ORVEX_ICON_FILES})
  install(FILES ${CMAKE_BINARY_DIR}/icons/orvex.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size ${ORVEX_ICON_SIZES})
    install(FILES ${CMAKE_BINARY_DIR}/icons/orvex-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME orvex.png)
  endforeach()
endif()

# cpack -G DEB: the package's library dependencies are found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VENDOR "The ORVEX developers")
set(CPACK_PACKAGE_CONTACT "The ORVEX developers <orvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop host program for motorsport data loggers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY orvex)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
include(CPack)
