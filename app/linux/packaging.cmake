# `make package`: a Debian package that declares what the game needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torva)
set(CPACK_PACKAGE_VENDOR Quillon)
set(CPACK_PACKAGE_CONTACT "Quillon <torva@quillon.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "parody role-playing game that is really a test of skill")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-liberation, fluid-soundfont-gm")
include(CPack)
