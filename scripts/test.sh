#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test:
# the default build, the AddressSanitizer+UBSan build, the threading tests
# under ThreadSanitizer, the Windows tree under Wine, and then each fuzz
# target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j2

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTOBRANE_SANITIZE=ON -DTOBRANE_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -LE slow

scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=Debug -DTOBRANE_TSAN=ON -DTOBRANE_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j2 -L threading

# The Windows tree, cross-built with mingw-w64, its tests under Wine in a
# prefix of its own, against build/bin's simulator.
scripts/build-windows.sh build-windows

# Every fuzz target, 20 seconds each, from its committed corpus.
scripts/fuzz.sh all 20
