#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(cmake ninja-build g++ ccache googletest libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libx11-dev nlohmann-json3-dev libcli11-dev libssl-dev clang-format xvfb xauth
          clang-14 libclang-rt-14-dev dpkg-dev file xdotool imagemagick)
# The Debian package's manual pages, and its checks.
packages+=(help2man lintian appstream desktop-file-utils man-db bsdextrautils)
# The Windows installer and the Windows window's tests (under Wine, in Xvfb).
packages+=(nsis fonts-wine)
# The Windows tree: the mingw-w64 cross compiler, and Wine to run its tests.
packages+=(g++-mingw-w64-x86-64 wine wine64)
# The network serial port's end-to-end tests: a real RFC 2217 server, and
# python3 for the proxy that gives the line a round trip (bench/delay-proxy.py).
packages+=(ser2net python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
