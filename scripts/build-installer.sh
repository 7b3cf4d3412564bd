#!/usr/bin/env bash
# Builds the Windows installer and the portable .zip:
#   scripts/build-installer.sh [DIR]      (DIR defaults to build-windows)
# Configures the Windows tree if needed and builds tobrane-loader.exe,
# tobrane-cli.exe and the package from them; prints the two files' paths.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
export CCACHE_BASEDIR="$(dirname "$PWD")"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja --toolchain cmake/MingwToolchain.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOBRANE_WERROR=ON > /dev/null
fi
cmake --build "$dir" --target installer
ls "$PWD/$dir"/package/tobrane-loader-*-setup.exe "$PWD/$dir"/package/tobrane-loader-*-win64.zip
