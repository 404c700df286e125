# The installed layout (GNU directories under the prefix) and the header that tells the program its
# version and where its documents lie once installed.

# Documents go to share/doc/orvane, the package's name, not the project's capitalised one.
# (-DCMAKE_INSTALL_DOCDIR=... still chooses another.)
if(NOT CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR share/doc/orvane)
endif()
include(GNUInstallDirs)
# The preview browser's library is the program's own, not one for others to link: a private
# directory, found through the program's run path.
set(ORVANE_INSTALL_PRIVATE_LIBDIR lib/orvane CACHE PATH "The preview browser's library")

# Relative paths keep an installed tree relocatable (any prefix, DESTDIR, a package).
file(RELATIVE_PATH ORVANE_DOCDIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DOCDIR})
file(RELATIVE_PATH ORVANE_PRIVATE_LIBDIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${ORVANE_INSTALL_PRIVATE_LIBDIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildInfo.h.in ${CMAKE_BINARY_DIR}/generated/orvane/BuildInfo.h @ONLY)
target_include_directories(orvane_options INTERFACE ${CMAKE_BINARY_DIR}/generated)

# orvane-cli (cli/) and its manual page, which cli/ compresses into the build tree.
set(ORVANE_CLI_MANPAGE ${CMAKE_BINARY_DIR}/generated/orvane-cli.1.gz)
install(FILES ${ORVANE_CLI_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
