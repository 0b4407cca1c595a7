# `make package`: a Debian package that declares what the game needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torva)
set(CPACK_PACKAGE_VENDOR Quillon)
set(CPACK_PACKAGE_CONTACT "Quillon <torva@quillon.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "parody role-playing game that is really a test of skill")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TORVA opens like a console role-playing game: title cards, the hero's name
and sex, and a story told three lines at a time with sounds and music. Its
real game is a timed test of skill: hold the mouse button on a strip of
toilet paper and drag down to pull as much paper as you can in eleven
seconds. The three best lengths are kept.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillon.example.org/torva)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)
# The libraries the program links come from dpkg-shlibdeps (Qt 6, SDL2,
# FluidSynth). Loaded at run time and so named here: the X11 platform plugin
# (in libqt6gui6 on Debian 12), the fonts the texts are set in and the General
# MIDI soundfont the music is played with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6gui6 (>= 6.4), fonts-ipafont-gothic, fonts-liberation, fluid-soundfont-gm")
include(CPack)
