#!/usr/bin/env bash
# scripts/screenshot.sh BUILD_DIR OUT_DIR: captures the real window under
# Xvfb, driven by key presses as a user drives it, against tobrane-upssim on
# a pseudo-terminal: OUT_DIR/screenshot.png after a successful Connect, Open
# and Program UPS with verify, OUT_DIR/screenshot-failed.png after a transfer
# that the UPS breaks off with a reply of the wrong block.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: scripts/screenshot.sh BUILD_DIR OUT_DIR" >&2
  exit 2
fi
# A screen of our own, so the capture does not depend on the desktop.
if [ -z "${TOBRANE_SCREENSHOT_XVFB:-}" ]; then
  TOBRANE_SCREENSHOT_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
bin=$(cd "$1/bin" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
src=$PWD
for tool in xdotool import; do
  command -v "$tool" > /dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

. scripts/sim-pty.sh
top=$(mktemp -d)
loader_pid=""
cleanup() {
  if [ -n "$loader_pid" ]; then
    kill "$loader_pid" 2>/dev/null || true
    wait "$loader_pid" 2>/dev/null || true
  fi
  stop_sim
  rm -rf "$top"
}
trap cleanup EXIT

fail() {
  echo "screenshot: $*" >&2
  [ -n "${work:-}" ] && cat "$work/loader.log" >&2
  exit 1
}

readonly kTitle="Tobrane PROM Loader"

# Waits up to SECONDS for a visible window whose whole name is NAME; prints its ids.
wait_window() {
  local name=$1 seconds=$2 ids
  for _ in $(seq $((seconds * 10))); do
    ids=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null || true)
    [ -n "$ids" ] && { echo "$ids"; return 0; }
    sleep 0.1
  done
  return 1
}

# A menu command by its mnemonics, as the keyboard gives it: Alt+F, then the letter.
file_menu() {
  xdotool windowfocus --sync "$main"
  xdotool key alt+f
  sleep 0.3
  xdotool key "$1"
}

# Ctrl+O is refused while Connect runs, so it is pressed until the Open dialog shows.
open_image() {
  local dialog=""
  for _ in $(seq 120); do
    xdotool windowfocus --sync "$main"
    xdotool key ctrl+o
    dialog=$(wait_window "Open" 1) && break
  done
  [ -n "$dialog" ] || fail "the Open dialog never showed"
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 5 "$1"
  xdotool key Return
}

# Program UPS closes the image at its end, which sets the plain title again.
# A message box on the way (another window of that title) is answered OK.
wait_program_end() {
  local windows
  for _ in $(seq 600); do
    windows=$(xdotool search --onlyvisible --name "^${kTitle}\$" 2>/dev/null || true)
    for w in $windows; do
      if [ "$w" != "$main" ]; then
        xdotool windowfocus --sync "$w"
        xdotool key Return
      fi
    done
    [ "$(xdotool getwindowname "$main")" = "$kTitle" ] && return 0
    sleep 0.1
  done
  fail "Program UPS did not end"
}

# capture NAME PROFILE PNG: one run, from start-up to the capture.
capture() {
  local name=$1 profile=$2 png=$3
  work=$top/$name
  mkdir -p "$work"
  cp "$src/examples/OEMModel.ini" "$work/"
  "$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 8192
  start_sim "$bin" "$profile" "$work" || fail "the simulator did not start"
  (cd "$work" && XDG_CONFIG_HOME="$work/config" exec "$bin/tobrane-loader" --device "$device") \
    > "$work/loader.log" 2>&1 &
  loader_pid=$!

  local notice
  notice=$(wait_window "UPS Communications " 20) || fail "no start-up notice"
  xdotool windowfocus --sync "$notice"
  xdotool key Return
  main=$(wait_window "$kTitle" 10) || fail "no main window"
  file_menu u
  open_image "$work/sample-500.rom"
  for _ in $(seq 100); do
    [ "$(xdotool getwindowname "$main")" = "$kTitle - $work/sample-500.rom" ] && break
    sleep 0.1
  done
  [ "$(xdotool getwindowname "$main")" = "$kTitle - $work/sample-500.rom" ] || fail "the image did not open"
  file_menu p
  wait_program_end
  sleep 0.5  # the last repaint
  import -window "$main" "$png"

  kill "$loader_pid" 2>/dev/null || true
  wait "$loader_pid" 2>/dev/null || true
  loader_pid=""
  stop_sim
}

capture success "$src/sim/profiles/default.json" "$out/screenshot.png"

# The same UPS, answering the second program block with a reply of another block.
mkdir -p "$top/profiles"
cp "$src"/sim/profiles/*.json "$top/profiles/"
sed '$ s/}$/, "faults": [{"request": "program-block", "occurrence": 2, "fault": "wrong-block"}]}/' \
  "$src/sim/profiles/default.json" > "$top/profiles/program-fault.json"
capture failed "$top/profiles/program-fault.json" "$out/screenshot-failed.png"
echo "screenshot: $out/screenshot.png $out/screenshot-failed.png"
