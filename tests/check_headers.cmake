# Each public header of the installed library compiles on its own, so that
# a program may include any one of them first.
file(GLOB headers RELATIVE "${PREFIX}/include" "${PREFIX}/include/mog/*.h")
if(headers STREQUAL "")
  message(FATAL_ERROR "no headers are installed under ${PREFIX}/include")
endif()
foreach(header ${headers})
  file(WRITE "${WORK}/alone.cpp" "#include <${header}>\n")
  execute_process(COMMAND "${COMPILER}" -std=c++20 -Wall -Wextra -Wpedantic -Werror -fsyntax-only
                          -I "${PREFIX}/include" "${WORK}/alone.cpp"
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${header} does not compile on its own:\n${errors}")
  endif()
endforeach()
list(LENGTH headers count)
message(STATUS "${count} headers compile on their own")
