# GoogleTest and GoogleMock for a Windows tree, built from Debian's source
# package (the installed libraries are for Linux); it names its targets
# GTest::gtest and the like, as find_package(GTest) does on Linux.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(lib gtest gtest_main gmock gmock_main)
  # Their own sources are not ours to hold to our warnings.
  target_compile_options(${lib} PRIVATE -w)
endforeach()
