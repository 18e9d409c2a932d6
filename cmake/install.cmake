# Installation in Debian's layout for games: the program in games under /usr and /usr/local, in
# bin under any other prefix (such as ~/.local, whose bin is on the PATH); its four sounds in
# share/games/keyfall; the desktop entry, the icon in the hicolor theme, the AppStream metainfo,
# the manual page, the licence and the changelog. An install in place also gets its uninstaller
# (cmake/uninstaller.cmake). The Debian package (debian/) is made of these by debhelper.

include(GNUInstallDirs)

set(KEYFALL_INSTALL_SOUND_DIR ${CMAKE_INSTALL_DATADIR}/games/keyfall)
set(KEYFALL_ICON_SIZES 32 64 128 256)

# The program finds its sounds from its own folder; games and bin lie at the same depth.
file(RELATIVE_PATH keyfall_sounds_from_program /bin /${KEYFALL_INSTALL_SOUND_DIR})
target_compile_definitions(keyfall_platform PRIVATE
  KEYFALL_SOUNDS_FROM_PROGRAM="${keyfall_sounds_from_program}")

set(keyfall_desktop_dir ${PROJECT_SOURCE_DIR}/assets/desktop)
set(keyfall_icon_dirs ${KEYFALL_ICON_SIZES})
list(TRANSFORM keyfall_icon_dirs REPLACE "(.+)"
  "${CMAKE_INSTALL_DATADIR}/icons/hicolor/\\1x\\1/apps")
# Every folder the install writes into, beside the program's.
set(KEYFALL_INSTALL_DIRS ${KEYFALL_INSTALL_SOUND_DIR} ${CMAKE_INSTALL_DATADIR}/applications
  ${CMAKE_INSTALL_DATADIR}/metainfo ${keyfall_icon_dirs} ${CMAKE_INSTALL_MANDIR}/man6
  ${CMAKE_INSTALL_DOCDIR})

# The folder of the program depends on the prefix given at install time, so it is chosen then.
install(CODE [[
  if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
    set(keyfall_command_dir games)
  else()
    set(keyfall_command_dir bin)
  endif()
]])
include(${CMAKE_CURRENT_LIST_DIR}/uninstaller.cmake)
keyfall_note_folders_before_install()
install(CODE "file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${keyfall_command_dir}\"
  TYPE EXECUTABLE FILES \"$<TARGET_FILE:keyfall>\")")
list(TRANSFORM KEYFALL_SOUNDS PREPEND ${KEYFALL_ASSETS_DIR}/ OUTPUT_VARIABLE keyfall_sound_files)
install(FILES ${keyfall_sound_files} DESTINATION ${KEYFALL_INSTALL_SOUND_DIR})

install(FILES ${keyfall_desktop_dir}/${KEYFALL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${keyfall_desktop_dir}/${KEYFALL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon theme's sizes, each pixel of the 32 x 32 icon enlarged to a square block: no blur.
add_executable(scale_icon ${PROJECT_SOURCE_DIR}/tools/scale_icon.cpp)
target_link_libraries(scale_icon PRIVATE Qt6::Gui)
set_target_properties(scale_icon PROPERTIES AUTOMOC OFF)
set(keyfall_icons)
foreach(size ${KEYFALL_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/${KEYFALL_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps
    COMMAND scale_icon ${KEYFALL_ASSETS_DIR}/icon.bmp ${size} ${icon}
    DEPENDS scale_icon ${KEYFALL_ASSETS_DIR}/icon.bmp
    VERBATIM)
  list(APPEND keyfall_icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(keyfall_icons ALL DEPENDS ${keyfall_icons})

include(${CMAKE_CURRENT_LIST_DIR}/documents.cmake)

keyfall_write_uninstaller()
