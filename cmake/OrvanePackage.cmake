# What the installed program carries besides the binaries, and the Debian package (scripts/package).

install(FILES ${CMAKE_SOURCE_DIR}/resources/readme.htm ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/orvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(ORVANE_METAINFO ${CMAKE_BINARY_DIR}/generated/org.example.orvane.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/resources/orvane.metainfo.xml.in ${ORVANE_METAINFO} @ONLY)
install(FILES ${ORVANE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The metadata checked where the validators are installed (scripts/package installs them; the tests
# need not).
if(ORVANE_BUILD_TESTS)
  find_program(ORVANE_APPSTREAMCLI appstreamcli)
  find_program(ORVANE_DESKTOP_FILE_VALIDATE desktop-file-validate)
  if(ORVANE_APPSTREAMCLI)
    add_test(NAME package.metainfo COMMAND ${ORVANE_APPSTREAMCLI} validate --no-net ${ORVANE_METAINFO})
    set_tests_properties(package.metainfo PROPERTIES LABELS package TIMEOUT 60)
  endif()
  if(ORVANE_DESKTOP_FILE_VALIDATE)
    # It reports hints on standard output and exits 0; anything it prints is a finding.
    add_test(NAME package.desktop COMMAND ${ORVANE_DESKTOP_FILE_VALIDATE} ${CMAKE_SOURCE_DIR}/resources/orvane.desktop)
    set_tests_properties(package.desktop PROPERTIES LABELS package TIMEOUT 60 FAIL_REGULAR_EXPRESSION ".")
  endif()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "the Orvane authors")
set(CPACK_PACKAGE_CONTACT "the Orvane authors <orvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only what the install rules of the program put there: the tests and tools install nothing.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The synopsis is the project's description; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvane collects the links of HTML documents (a file, up to 100 dropped files, or a page
fetched from a URL, directly or through a proxy) into one editable list, and writes it out
as a list file or as one Internet shortcut (.url) per entry. Japanese user interface.")
# The libraries the binaries link are found by dpkg-shlibdeps; the rest are loaded at run time
# (Qt's platform plugins, the SVG icon loader, fonts), so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
include(CPack)
