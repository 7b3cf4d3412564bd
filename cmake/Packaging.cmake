# The Debian package: `cpack -G DEB` in the build tree packs what
# `cmake --install` installs. Its dependencies come from the binaries
# (dpkg-shlibdeps), so they follow whatever Qt the build linked.
include(GNUInstallDirs)
set(TOBRANE_EXAMPLES_DIR ${CMAKE_INSTALL_DATADIR}/doc/tobrane-loader/examples)
install(FILES ${CMAKE_SOURCE_DIR}/examples/OEMModel.ini DESTINATION ${TOBRANE_EXAMPLES_DIR})
# Simulator profiles name each other by file, so they stay together.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sim/profiles/ DESTINATION ${TOBRANE_EXAMPLES_DIR}/sim-profiles
        FILES_MATCHING PATTERN "*.json")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tobrane-loader)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tobrane PROM Loader developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Upgrades UPS firmware over RS-232: Qt window, command line and UPS simulator")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
