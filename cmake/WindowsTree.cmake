# What a tree cross-built for Windows needs beside the toolchain file: the
# header-only JSON library from the build machine, GoogleTest built from
# source, and the Wine wrapper through which ctest runs every test.

# Only the nlohmann and CLI11 headers: the build machine's include directory
# as a whole would put glibc's headers in front of mingw's.
set(TOBRANE_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${TOBRANE_HOST_HEADERS})
foreach(library nlohmann CLI)
  file(CREATE_LINK /usr/include/${library} ${TOBRANE_HOST_HEADERS}/${library} SYMBOLIC)
endforeach()
add_library(tobrane_host_headers INTERFACE)
target_include_directories(tobrane_host_headers SYSTEM INTERFACE ${TOBRANE_HOST_HEADERS})
add_library(nlohmann_json::nlohmann_json ALIAS tobrane_host_headers)
add_library(CLI11::CLI11 ALIAS tobrane_host_headers)

# Wine's prefix lives in the build tree, made on first use and reused; Wine
# never sees the user's own prefix or home.
set(TOBRANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(TOBRANE_WINE_HOME ${CMAKE_BINARY_DIR}/wine/home)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
