#!/usr/bin/env bash
# check-colours.sh BUILD_DIR: captures the window after a successful and after
# a failed Program UPS (scripts/screenshot.sh) and checks the transcript's
# background in each: light green after success, light red after failure.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$src/scripts/screenshot.sh" "$1" "$out"

# Right of the text and left of the scroll bar, half-way down the transcript.
readonly kX=610 kY=240
pixel() {
  convert "$1" -format "%[pixel:p{$kX,$kY}]" info:
}
failed=0
check() {
  local png=$1 expected=$2 got
  got=$(pixel "$out/$png")
  if [ "$got" != "$expected" ]; then
    echo "check-colours: $png at ($kX,$kY) is $got, expected $expected" >&2
    failed=1
  fi
}
check screenshot.png "srgb(128,255,128)"
check screenshot-failed.png "srgb(255,128,128)"
exit $failed
