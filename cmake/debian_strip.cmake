# Run by CPack on the staged files of the .deb: the program is stripped as Debian strips the
# programs of its own packages, of its unneeded symbols and of the .comment and .note sections.
execute_process(COMMAND ${CPACK_KEYFALL_STRIP} --remove-section=.comment --remove-section=.note
  --strip-unneeded ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/games/keyfall
  COMMAND_ERROR_IS_FATAL ANY)
