# Installs the build into a fresh prefix and checks what a user finds there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

foreach(path bin/mog share/man/man1/mog.1.gz share/bash-completion/completions/mog
             share/zsh/vendor-completions/_mog share/fish/vendor_completions.d/mog.fish share/doc/mog/LICENSE
             share/doc/mog/README.md share/doc/mog/copyright share/doc/mog/changelog.gz
             include/mog/mog.h lib/cmake/mog/mogConfig.cmake)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "${path} is not installed")
  endif()
endforeach()

# The installed tool runs on its own and lists the sample.
execute_process(COMMAND "${PREFIX}/bin/mog" -v "${SAMPLE}" RESULT_VARIABLE status OUTPUT_VARIABLE listing)
if(NOT status EQUAL 0 OR NOT listing MATCHES "HELLO            \\[800 SYS2061\\]")
  message(FATAL_ERROR "installed mog failed (${status}):\n${listing}")
endif()

# The manual page and the changelog are compressed as by gzip -9n: no name,
# no time, best compression, so that every build gives the same bytes.
foreach(path share/man/man1/mog.1.gz share/doc/mog/changelog.gz)
  file(READ "${PREFIX}/${path}" header LIMIT 10 HEX)
  if(NOT header STREQUAL "1f8b0800000000000203")
    message(FATAL_ERROR "${path} is not compressed with gzip -9n: ${header}")
  endif()
endforeach()

# The changelog's latest entry is the version built.
execute_process(COMMAND gzip -dc "${PREFIX}/share/doc/mog/changelog.gz" OUTPUT_VARIABLE changelog)
if(NOT changelog MATCHES "^mog \\(${VERSION}\\) ")
  message(FATAL_ERROR "the changelog does not start with version ${VERSION}")
endif()

# The manual page covers every option and source kind, every exit status
# and the display rule.
execute_process(COMMAND gzip -dc "${PREFIX}/share/man/man1/mog.1.gz" OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the manual page does not decompress: ${status}")
endif()
foreach(needed "\\-n" "\\-i" "\\-v" "\\-a" "\\-o" "\\-y" "\\-examples" "\\-\\-help" "\\-\\-version"
               "\\-\\-machine" ".SH MACHINES" "\\-\\-json" "\\-\\-unicode" "\\-\\-check" ".B 4" ".SH JSON LINES" ".SH BATCH" "\\-\\-in\\-place"
               ".p00" ".d71" ".d81" ".t64" ".SH EXIT STATUS" ".B 0" ".B 1" ".B 2" ".B 3" ".B 5" ".SH EXAMPLES"
               ".SH DISPLAY" "UTF-8" "iconv" "bash" ".SH ENVIRONMENT" "LC_ALL" "LC_CTYPE" "LANG" ".SH SEE ALSO"
               ".BR cc1541 (1)" ".BR cbmconvert (1)" "vendor-completions/_mog" "vendor_completions.d/mog.fish")
  string(FIND "${page}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manual page lacks ${needed}")
  endif()
endforeach()
# The page is dated, as man shows it at the foot.
if(NOT page MATCHES "^\\.TH MOG 1 \"?[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]\"? ")
  message(FATAL_ERROR "the manual page's .TH line has no date")
endif()
message(STATUS "installed tree is complete")
