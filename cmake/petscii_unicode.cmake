# Writes the C++ table of PETSCII to Unicode from data/petscii-unicode.tsv,
# so that the mapping is kept in one place, as data.
# Usage: cmake -DTABLE=<tsv> -DOUTPUT=<cpp> -P petscii_unicode.cmake
file(STRINGS "${TABLE}" rows REGEX "^0x[0-9A-Fa-f][0-9A-Fa-f]\t")
list(LENGTH rows count)
if(NOT count EQUAL 256)
  message(FATAL_ERROR "${TABLE} has ${count} rows, not one for each of the 256 bytes")
endif()
set(entries "")
set(expected 0)
foreach(row IN LISTS rows)
  string(REGEX MATCH "^0x([0-9A-Fa-f][0-9A-Fa-f])\tU\\+([0-9A-Fa-f]+)\t" matched "${row}")
  if(NOT matched)
    message(FATAL_ERROR "${TABLE}: cannot read the row '${row}'")
  endif()
  math(EXPR byte "0x${CMAKE_MATCH_1}")
  if(NOT byte EQUAL expected)
    message(FATAL_ERROR "${TABLE}: the row for byte ${expected} is missing or out of order")
  endif()
  string(APPEND entries "    0x${CMAKE_MATCH_2},\n")
  math(EXPR expected "${expected} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Written by cmake/petscii_unicode.cmake from data/petscii-unicode.tsv; do not edit.
#include \"petscii/unicode_table.h\"

namespace mog {

const char32_t PETSCII_UNICODE[256] = {
${entries}};

} // namespace mog
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
