# Installation: the program and its four sounds in a folder of their own, a keyfall command on the
# PATH, the desktop entry, the icon in the hicolor theme, the AppStream metainfo, the manual page,
# the changelog and the copyright file; and the .deb.

include(GNUInstallDirs)

# The sounds must lie beside the executable, so both live in a private folder.
set(KEYFALL_INSTALL_PROGRAM_DIR lib/keyfall)
set(KEYFALL_ICON_SIZES 32 64 128 256)

install(TARGETS keyfall RUNTIME DESTINATION ${KEYFALL_INSTALL_PROGRAM_DIR})
list(TRANSFORM KEYFALL_SOUNDS PREPEND ${KEYFALL_ASSETS_DIR}/ OUTPUT_VARIABLE keyfall_sound_files)
install(FILES ${keyfall_sound_files} DESTINATION ${KEYFALL_INSTALL_PROGRAM_DIR})

# The command is a relative symbolic link, so the installed tree can be moved as a whole.
file(RELATIVE_PATH keyfall_command_target /${CMAKE_INSTALL_BINDIR}
  /${KEYFALL_INSTALL_PROGRAM_DIR}/keyfall)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/command)
file(CREATE_LINK ${keyfall_command_target} ${CMAKE_BINARY_DIR}/command/keyfall SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/command/keyfall DESTINATION ${CMAKE_INSTALL_BINDIR})

set(keyfall_desktop_dir ${PROJECT_SOURCE_DIR}/assets/desktop)
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

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
# After the package's settings: the changelog names the package's maintainer.
include(${CMAKE_CURRENT_LIST_DIR}/package_docs.cmake)
