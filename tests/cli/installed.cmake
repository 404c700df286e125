# The installed orvane-cli: the build tree installed into a scratch prefix holds the program in bin
# and its manual page in share/man/man1, and the installed program converts a page.
#   cmake -DBUILD_DIR=... -DSCRATCH=... [-DGROFF=...] -P installed.cmake
file(REMOVE_RECURSE ${SCRATCH})
set(prefix ${SCRATCH}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${error}")
endif()
foreach(file bin/orvane-cli share/man/man1/orvane-cli.1.gz lib/orvane/liborvane_cli_fetch.so
             lib/orvane/liborvane_cli_detect.so)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(WRITE ${SCRATCH}/page.html "<a href=\"http://example.org/\">Example</a>\r\n")
execute_process(COMMAND ${prefix}/bin/orvane-cli --format tsv ${SCRATCH}/page.html
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT out STREQUAL "Example\thttp://example.org/\n" OR NOT error STREQUAL "")
  message(FATAL_ERROR "installed orvane-cli: status ${result}, output [${out}], messages [${error}]")
endif()

# The fetch module is found through the run path: only it can refuse an unusable proxy address.
execute_process(COMMAND ${prefix}/bin/orvane-cli --proxy host:port ${SCRATCH}/page.html
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE error)
if(NOT result EQUAL 2)
  message(FATAL_ERROR "installed orvane-cli did not load its fetch module: status ${result}, output [${out}], "
                      "messages [${error}]")
endif()

# The manual page renders without a warning where groff is installed.
if(GROFF)
  execute_process(COMMAND sh -c "gzip -dc '${prefix}/share/man/man1/orvane-cli.1.gz' | '${GROFF}' -man -ww -z"
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0 OR NOT error STREQUAL "")
    message(FATAL_ERROR "manual page: ${error}")
  endif()
endif()
file(REMOVE_RECURSE ${SCRATCH})
