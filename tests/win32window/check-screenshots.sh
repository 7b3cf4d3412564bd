#!/usr/bin/env bash
# check-screenshots.sh BUILD LINUX_BIN MODEM_LINES: captures the window after a
# successful and after a failed Program UPS (scripts/screenshot-windows.sh)
# and checks the transcript's background in each: light green after success,
# light red after the failure.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$src/scripts/screenshot-windows.sh" "$@" "$out"

# Left of the scroll bar, half-way down the window: inside the transcript.
pixel() {
  local width height
  read -r width height < <(identify -format "%w %h" "$1")
  convert "$1" -format "%[pixel:p{$((width - 40)),$((height / 2))}]" info:
}
failed=0
check() {
  local got
  got=$(pixel "$out/$1")
  if [ "$got" != "$2" ]; then
    echo "check-screenshots: $1 is $got inside the transcript, expected $2" >&2
    failed=1
  fi
}
check screenshot-windows.png "srgb(128,255,128)"
check screenshot-windows-failed.png "srgb(255,128,128)"
exit $failed
