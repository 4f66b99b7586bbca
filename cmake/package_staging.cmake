# Run by CPack on the staged files before it packs them, to give a Debian
# package what Debian's own tools would:
# - folders of 0755: installing makes them under the umask of whoever builds;
# - no .comment section (compiler versions) in the stripped binary, as
#   dh_strip removes it.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(folder ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${folders})
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(CHMOD "${folder}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
execute_process(COMMAND "${CPACK_MOG_STRIP}" --remove-section=.comment "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/mog"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CPACK_MOG_STRIP} could not remove the .comment section of mog: ${status}")
endif()
