# The compile and link options every target of the project takes, as one
# INTERFACE target that each target links PRIVATE: warnings (errors with
# TOBRANE_WERROR) and the sanitizer of the tree, if any. Nothing global, so
# third-party code built in the tree (GoogleTest for Windows) keeps its own.
add_library(tobrane_options INTERFACE)
target_compile_options(tobrane_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(TOBRANE_WERROR)
  target_compile_options(tobrane_options INTERFACE -Werror)
endif()
if(TOBRANE_SANITIZE)
  target_compile_options(tobrane_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
  target_link_options(tobrane_options INTERFACE -fsanitize=address,undefined)
endif()
# libFuzzer targets in fuzz/, in a tree of their own configured with clang
# (CC=clang-14 CXX=clang++-14): everything is instrumented for coverage and
# runs under AddressSanitizer and UBSan.
if(TOBRANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TOBRANE_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
  endif()
  target_compile_options(tobrane_options INTERFACE -fsanitize=address,undefined,fuzzer-no-link
                                                   -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tobrane_options INTERFACE -fsanitize=address,undefined)
endif()
if(TOBRANE_TSAN)
  target_compile_options(tobrane_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(tobrane_options INTERFACE -fsanitize=thread)
endif()
# Debian's hardening flags, as dpkg-buildflags gives them with hardening=+all
# (fortify, stack protector, relro, bindnow), on every optimised Linux tree
# without a sanitizer: the Debian package is packed from such a tree. The
# debug, optimisation and path-mapping flags stay the build type's, so that
# worktrees keep sharing ccache.
option(TOBRANE_HARDEN "Build with Debian's hardening flags (optimised Linux trees)" ON)
find_program(TOBRANE_DPKG_BUILDFLAGS dpkg-buildflags)
if(TOBRANE_HARDEN AND TOBRANE_DPKG_BUILDFLAGS AND NOT WIN32 AND NOT TOBRANE_SANITIZE AND NOT TOBRANE_TSAN
   AND NOT TOBRANE_FUZZ AND CMAKE_BUILD_TYPE MATCHES "Rel")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${TOBRANE_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?|ffile-prefix-map=.*|fdebug-prefix-map=.*|Wdate-time)$")
    if(kind STREQUAL "LDFLAGS")
      target_link_options(tobrane_options INTERFACE ${flags})
    else()
      target_compile_options(tobrane_options INTERFACE ${flags})
    endif()
  endforeach()
endif()
