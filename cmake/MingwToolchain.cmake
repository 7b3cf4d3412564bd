# Cross build for 64-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/MingwToolchain.cmake
# The posix-threads compilers, because only they have std::thread and
# std::mutex; the runtime linked in statically, so the programs need nothing
# beyond what Windows itself ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOBRANE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOBRANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOBRANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TOBRANE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOBRANE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run through Wine; cmake/WindowsTree.cmake replaces this with a
# wrapper that keeps Wine's prefix inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
