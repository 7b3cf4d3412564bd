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
