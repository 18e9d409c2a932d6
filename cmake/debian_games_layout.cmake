# Run by CPack on the staged files of the .deb: the keyfall command moves from bin to games, as
# Debian wants it for a game. Its relative link still leads to the program, since both folders
# lie right under /usr.
set(keyfall_staged_prefix ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(RENAME ${keyfall_staged_prefix}/${CPACK_KEYFALL_COMMAND_DIR} ${keyfall_staged_prefix}/games)
