# A Debian package through CPack: "make package", or "cpack -G DEB" in the
# build folder.  The library dependencies are computed by dpkg-shlibdeps
# (Debian package dpkg-dev), which needs the "file" program.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vokt)
set(CPACK_PACKAGE_VENDOR "The VOKT developers")
set(CPACK_PACKAGE_CONTACT "The VOKT developers <maintainers@vokt.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VOKT_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for probability distributions")
set(CPACK_PACKAGE_DESCRIPTION
    "VOKT computes probabilities, quantiles and random samples of 32 probability\n"
    "distributions and draws their density and distribution functions, in 80-bit\n"
    "extended precision. The package holds the window (vokt) and the command-line\n"
    "calculator (vokt-cli).")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(TARGET vokt)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: the platform
  # plugins (xcb, wayland).  The SVG icon engine comes with libqt6svg6, which
  # the window links against.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
endif()
include(CPack)

if(VOKT_TESTS AND TARGET vokt)
  add_test(NAME packaging
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/packaging/package_test.sh
                   ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_VERSION} ${VOKT_APP_ID})
  set_tests_properties(packaging PROPERTIES TIMEOUT 600)
endif()
