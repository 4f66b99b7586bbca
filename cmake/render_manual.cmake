# Renders the manual page PAGE as plain text in TEXT with the groff program
# GROFF: ASCII without bold, underline, escape sequences or words broken at
# line ends, as a text editor shows it.
execute_process(COMMAND "${GROFF}" -man -Tascii -P-cbou -rHY=0 "${PAGE}"
                OUTPUT_FILE "${TEXT}" ERROR_VARIABLE complaints RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT complaints STREQUAL "")
  file(REMOVE "${TEXT}")
  message(FATAL_ERROR "groff could not render ${PAGE} (${status}):\n${complaints}")
endif()
