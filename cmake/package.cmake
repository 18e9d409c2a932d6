# The Debian package: `cpack -G DEB` in the build folder writes keyfall_VERSION_ARCH.deb.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keyfall)
set(CPACK_PACKAGE_VENDOR "Keyfall developers")
set(CPACK_PACKAGE_CONTACT "Keyfall developers <keyfall@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game for practising touch typing")
set(CPACK_PACKAGE_DESCRIPTION "Letters fall down a starfield, and the player types each one\n\
before it reaches the ground. Targets of one, two or three letters, in\n\
capitals, small letters or both, at three speeds, in rounds of a chosen length.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_strip.cmake)
set(CPACK_KEYFALL_STRIP ${CMAKE_STRIP})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what it only loads at run time is
# named here: the sound server's client library, the free fonts that stand in for the Windows
# fonts of the window, a sound server, without which the game plays silently, and the Wayland
# platform, for desktops without X.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpulse0, fonts-liberation, fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio, qt6-wayland")

include(CPack)
