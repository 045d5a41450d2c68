# Install rules: the programs, the desktop entry, the icon, the AppStream
# metadata, the man pages and the README, in the places GNUInstallDirs gives.
#   cmake --install build --prefix /usr
#   DESTDIR=/tmp/stage cmake --install build --prefix /usr
include(GNUInstallDirs)

set(VOKT_APP_ID org.vokt.Vokt)
set(VOKT_HOMEPAGE "https://vokt.org/")
set(VOKT_RELEASE_DATE 2026-12-08)

# --version prints the project's version.
target_compile_definitions(vokt-cli PRIVATE VOKT_VERSION="${PROJECT_VERSION}")
install(TARGETS vokt-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(VOKT_MAN_PAGES vokt-cli)

if(TARGET vokt)
  target_compile_definitions(vokt PRIVATE VOKT_VERSION="${PROJECT_VERSION}"
                                          VOKT_APP_ID="${VOKT_APP_ID}")
  install(TARGETS vokt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND VOKT_MAN_PAGES vokt)

  set(pkg ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
  install(FILES ${pkg}/${VOKT_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${pkg}/${VOKT_APP_ID}.metainfo.xml.in
                 ${CMAKE_CURRENT_BINARY_DIR}/packaging/${VOKT_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/${VOKT_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${pkg}/icons/${VOKT_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${pkg}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${VOKT_APP_ID}.png)
  endforeach()
endif()

# Man pages: roff sources with the version and date filled in, compressed as
# Debian and most distributions ship them.
set(VOKT_MAN_FILES)
foreach(page ${VOKT_MAN_PAGES})
  set(roff ${CMAKE_CURRENT_BINARY_DIR}/packaging/${page}.1)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/${page}.1.in ${roff} @ONLY)
  add_custom_command(OUTPUT ${roff}.gz
                     COMMAND gzip -9 -n -c ${roff} > ${roff}.gz
                     DEPENDS ${roff}
                     COMMENT "Compressing the man page ${page}.1")
  list(APPEND VOKT_MAN_FILES ${roff}.gz)
endforeach()
add_custom_target(vokt_man_pages ALL DEPENDS ${VOKT_MAN_FILES})
install(FILES ${VOKT_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
