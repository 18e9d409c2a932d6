# The documents of an installation: the manual page, made at build time from the README's "How to
# play", with the version and date of the latest release in CHANGELOG.md; and the licence and the
# changelog themselves, except under /usr, where the Debian package's own copyright file and
# changelog take their place.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(keyfall_manual_tool ${PROJECT_SOURCE_DIR}/tools/manual_page.py)
set(keyfall_manual_page ${CMAKE_BINARY_DIR}/docs/keyfall.6)
set(keyfall_manual_sources ${PROJECT_SOURCE_DIR}/docs/keyfall.6.in ${PROJECT_SOURCE_DIR}/README.md
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md)

add_custom_command(OUTPUT ${keyfall_manual_page}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
  COMMAND Python3::Interpreter ${keyfall_manual_tool} ${keyfall_manual_sources}
    ${keyfall_manual_page}
  DEPENDS ${keyfall_manual_tool} ${keyfall_manual_sources}
  VERBATIM)
add_custom_target(keyfall_docs ALL DEPENDS ${keyfall_manual_page})

install(FILES ${keyfall_manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(CODE "if(NOT CMAKE_INSTALL_PREFIX MATCHES \"^/usr/*$\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}\" TYPE FILE
    FILES \"${PROJECT_SOURCE_DIR}/LICENSE\" \"${PROJECT_SOURCE_DIR}/CHANGELOG.md\")
endif()")
