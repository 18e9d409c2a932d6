# The documents of an installation, each made at build time from the one file kept by hand: the
# manual page with the README's "How to play", the Debian changelog from CHANGELOG.md and the
# machine-readable copyright file from LICENSE. The manual page and the changelog are compressed
# as Debian wants them, by gzip -9n: no name, no time stamp, the same bytes on every build.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(keyfall_docs_tool ${PROJECT_SOURCE_DIR}/tools/package_docs.py)
set(keyfall_docs_dir ${CMAKE_BINARY_DIR}/docs)
set(keyfall_changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
file(MAKE_DIRECTORY ${keyfall_docs_dir})

add_custom_command(OUTPUT ${keyfall_docs_dir}/keyfall.6 ${keyfall_docs_dir}/keyfall.6.gz
  COMMAND Python3::Interpreter ${keyfall_docs_tool} manual ${PROJECT_SOURCE_DIR}/docs/keyfall.6.in
    ${PROJECT_SOURCE_DIR}/README.md ${keyfall_changelog} ${keyfall_docs_dir}/keyfall.6
  COMMAND gzip -9nkf ${keyfall_docs_dir}/keyfall.6
  DEPENDS ${keyfall_docs_tool} ${PROJECT_SOURCE_DIR}/docs/keyfall.6.in
    ${PROJECT_SOURCE_DIR}/README.md ${keyfall_changelog}
  VERBATIM)
add_custom_command(OUTPUT ${keyfall_docs_dir}/changelog ${keyfall_docs_dir}/changelog.gz
  COMMAND Python3::Interpreter ${keyfall_docs_tool} changelog ${keyfall_changelog}
    ${PROJECT_VERSION} ${CPACK_PACKAGE_CONTACT} ${keyfall_docs_dir}/changelog
  COMMAND gzip -9nkf ${keyfall_docs_dir}/changelog
  DEPENDS ${keyfall_docs_tool} ${keyfall_changelog}
  VERBATIM)
add_custom_command(OUTPUT ${keyfall_docs_dir}/copyright
  COMMAND Python3::Interpreter ${keyfall_docs_tool} copyright ${PROJECT_SOURCE_DIR}/LICENSE
    ${PROJECT_HOMEPAGE_URL} ${keyfall_docs_dir}/copyright
  DEPENDS ${keyfall_docs_tool} ${PROJECT_SOURCE_DIR}/LICENSE
  VERBATIM)
add_custom_target(keyfall_docs ALL DEPENDS ${keyfall_docs_dir}/keyfall.6.gz
  ${keyfall_docs_dir}/changelog.gz ${keyfall_docs_dir}/copyright)

install(FILES ${keyfall_docs_dir}/keyfall.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${keyfall_docs_dir}/changelog.gz ${keyfall_docs_dir}/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
