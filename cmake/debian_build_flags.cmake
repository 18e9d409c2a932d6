# The compiler and linker flags Debian builds its own packages with, hardening in full: fortified
# functions, stack protector, PIE, -z relro -z now, as dpkg-buildflags gives them; and the stack
# clash and control-flow protection, which Debian 12's dpkg-buildflags leaves out and later ones
# add. Every target gets them, so that the tests and benchmarks run the program as it ships.

find_program(KEYFALL_DPKG_BUILDFLAGS dpkg-buildflags)
# Fortified functions need an optimising build, which a debug build is not.
if(NOT KEYFALL_DPKG_BUILDFLAGS OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
      ${KEYFALL_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(keyfall_${kind} UNIX_COMMAND "${flags}")
endforeach()
# Optimisation and debug information stay the build type's choice; the package is stripped.
list(REMOVE_ITEM keyfall_CXXFLAGS -g -O2)
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "KEYFALL_HAS${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported} AND NOT flag IN_LIST keyfall_CXXFLAGS)
    list(APPEND keyfall_CXXFLAGS ${flag})
  endif()
endforeach()
# Debian 12's C start-up files are built without control-flow protection, so the linker would
# not mark the program as protected although all of its own code is; the mark is set outright.
if(KEYFALL_HAS_fcf_protection)
  list(APPEND keyfall_LDFLAGS -Wl,-z,ibt -Wl,-z,shstk)
endif()
add_compile_options(${keyfall_CPPFLAGS} ${keyfall_CXXFLAGS})
add_link_options(${keyfall_LDFLAGS})
