# An install in place gets an uninstaller, share/games/keyfall/uninstall: a shell script that
# removes every file the install made, then the folders it made, deepest first, if they are
# empty. A folder that was there before, such as a ~/.local/bin holding other programs, stays. A
# staged install (DESTDIR), as for the package, gets none: its package manager removes it.

set(KEYFALL_UNINSTALLER ${KEYFALL_INSTALL_SOUND_DIR}/uninstall)

# Notes which of the folders the install writes into (KEYFALL_INSTALL_DIRS and the program's) do
# not exist yet, and those above them: the install makes them.
function(keyfall_note_folders_before_install)
  install(CODE "set(keyfall_install_dirs \"\${keyfall_command_dir};${KEYFALL_INSTALL_DIRS}\")")
  install(CODE [[
    set(keyfall_new_folders)
    foreach(dir ${keyfall_install_dirs})
      cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE
        OUTPUT_VARIABLE folder)
      # A prefix given relative to the working folder still ends in the root folder.
      get_filename_component(folder "$ENV{DESTDIR}${folder}" ABSOLUTE)
      while(NOT IS_DIRECTORY "${folder}")
        list(FIND keyfall_new_folders "${folder}" known)
        if(known GREATER -1)
          break()
        endif()
        list(APPEND keyfall_new_folders "${folder}")
        cmake_path(GET folder PARENT_PATH folder)
      endwhile()
    endforeach()
  ]])
endfunction()

# Writes the uninstaller last, when every file is in place. An install over an earlier one keeps
# the folders that the earlier one made.
function(keyfall_write_uninstaller)
  install(CODE "set(keyfall_uninstaller \"\${CMAKE_INSTALL_PREFIX}/${KEYFALL_UNINSTALLER}\")")
  install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "")
      set(removals)
      if(EXISTS "${keyfall_uninstaller}")
        file(STRINGS "${keyfall_uninstaller}" removals REGEX "^\\[ ! -d ")
      endif()
      foreach(folder ${keyfall_new_folders})
        string(REPLACE "'" "'\\''" folder "${folder}")
        list(APPEND removals
          "[ ! -d '${folder}' ] || rmdir --ignore-fail-on-non-empty -- '${folder}'")
      endforeach()
      list(REMOVE_DUPLICATES removals)
      list(SORT removals)
      list(REVERSE removals)
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${keyfall_uninstaller}")
      get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
      set(script "#!/bin/sh\n# Removes Keyfall from ${prefix}.\nset -e\n")
      foreach(file ${CMAKE_INSTALL_MANIFEST_FILES})
        get_filename_component(file "${file}" ABSOLUTE)
        string(REPLACE "'" "'\\''" file "${file}")
        string(APPEND script "rm -f -- '${file}'\n")
      endforeach()
      list(JOIN removals "\n" removals)
      message(STATUS "Installing: ${keyfall_uninstaller}")
      file(WRITE "${keyfall_uninstaller}" "${script}${removals}\n")
      file(CHMOD "${keyfall_uninstaller}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
  ]])
endfunction()
