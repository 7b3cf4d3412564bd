# The Debian package: `cpack -G DEB` in the build tree packs what
# `cmake --install` installs. Its dependencies come from the binaries
# (dpkg-shlibdeps), so they follow whatever Qt the build linked. lintian
# finds neither error nor warning in it (tests/package/check-deb.sh).
include(GNUInstallDirs)
set(TOBRANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tobrane-loader)
set(TOBRANE_EXAMPLES_DIR ${TOBRANE_DOC_DIR}/examples)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${generated})

# The simulator's example table and profiles; profiles name each other by
# file, so they stay together.
install(FILES ${CMAKE_SOURCE_DIR}/examples/OEMModel.ini DESTINATION ${TOBRANE_EXAMPLES_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sim/profiles/ DESTINATION ${TOBRANE_EXAMPLES_DIR}/sim-profiles
        FILES_MATCHING PATTERN "*.json")
# The deployer's model table and the run report's schema, where the programs
# look for them (frontend/PlatformFilesPosix.cpp).
install(FILES ${packaging}/OEMModel.ini ${CMAKE_SOURCE_DIR}/docs/run-report.schema.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tobrane-loader)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${packaging}/copyright DESTINATION ${TOBRANE_DOC_DIR})
install(FILES ${packaging}/example.ostrand_electronics.TobranePromLoader.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/tobrane-cli.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME tobrane-cli)

# The changelog and the manual pages, compressed as Debian wants them (gzip
# -9, no name or time stamp). Each page is made by help2man from the
# program's own --help, so that the two never differ.
find_program(TOBRANE_HELP2MAN help2man REQUIRED)
find_program(TOBRANE_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${generated}/changelog.gz
                   COMMAND ${TOBRANE_GZIP} -9nc ${packaging}/changelog > ${generated}/changelog.gz
                   DEPENDS ${packaging}/changelog
                   VERBATIM)
set(pages ${generated}/changelog.gz)
set(tobrane-loader_name "the Tobrane PROM Loader window")
set(tobrane-cli_name "upgrade UPS firmware over RS-232 from the command line")
set(tobrane-upssim_name "a simulated UPS on a pseudo-terminal")
set(tobrane-makerom_name "write a sample ROM image")
foreach(program tobrane-loader tobrane-cli tobrane-upssim tobrane-makerom)
  set(page ${generated}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
                     COMMAND ${TOBRANE_HELP2MAN} --no-info --no-discard-stderr --section=1
                             --version-string=${PROJECT_VERSION} --name=${${program}_name}
                             --include=${packaging}/man/see-also.h2m --output=${page} $<TARGET_FILE:${program}>
                     COMMAND sed -i "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${page}
                     COMMAND ${TOBRANE_GZIP} -9nf ${page}
                     DEPENDS ${program} ${packaging}/man/see-also.h2m
                     COMMENT "Writing the manual page of ${program}"
                     VERBATIM)
  list(APPEND pages ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(tobrane_package_pages ALL DEPENDS ${pages})
install(FILES ${generated}/changelog.gz DESTINATION ${TOBRANE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tobrane-loader)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ostrand Electronics <tobrane-loader@ostrand-electronics.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "upgrade UPS firmware over an RS-232 line")
# cpack puts the summary above it as the first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tobrane PROM Loader upgrades the firmware of a UPS, of the controllers
inside it and of the accessory cards behind it. It connects to the UPS
over a serial line and identifies it, opens a ROM image, programs it
block by block and reads it back to verify.
.
The package holds the window (tobrane-loader), the command-line program
for scripted and workshop runs (tobrane-cli), a simulated UPS on a
pseudo-terminal (tobrane-upssim) and a sample image writer
(tobrane-makerom), for trying the programs without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${TOBRANE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Directories as Debian has them, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                               WORLD_READ WORLD_EXECUTE)
include(CPack)
