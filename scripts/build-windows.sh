#!/usr/bin/env bash
# Cross-builds the Windows tree with mingw-w64 and runs its tests under Wine:
#   scripts/build-windows.sh [DIR] [--no-test] [cmake options...]
# DIR defaults to build-windows. Wine's prefix is made inside DIR on the first
# run and reused; DIR/wine-run PROGRAM.exe runs any of the tree's programs.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-windows
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  dir=$1
  shift
fi
run_tests=1
if [ $# -gt 0 ] && [ "$1" = "--no-test" ]; then
  run_tests=0
  shift
fi
export CCACHE_BASEDIR="$(dirname "$PWD")"
cmake -S . -B "$dir" -G Ninja --toolchain cmake/MingwToolchain.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOBRANE_WERROR=ON "$@" > /dev/null
cmake --build "$dir"
[ "$run_tests" -eq 1 ] || exit 0
ctest --test-dir "$dir" --output-on-failure -j2
