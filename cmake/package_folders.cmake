# Run by CPack on the staged files before it packs them: installing makes
# folders under the umask of whoever builds, but the folders of a Debian
# package must be 0755 on every machine.
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(folder ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${folders})
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(CHMOD "${folder}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
