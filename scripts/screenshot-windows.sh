#!/usr/bin/env bash
# scripts/screenshot-windows.sh WINDOWS_BUILD LINUX_BIN MODEM_LINES OUT_DIR:
# captures tobrane-loader.exe under Wine and Xvfb, driven by key presses as a
# user drives it, against tobrane-upssim on a pty linked as COM5:
# OUT_DIR/screenshot-windows.png after a successful Connect, Open and Program
# UPS with verify, OUT_DIR/screenshot-windows-failed.png after a transfer that
# the UPS breaks off with a reply of the wrong block. MODEM_LINES is the
# library that gives the pty the modem lines Wine asks for.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 4 ]; then
  echo "usage: scripts/screenshot-windows.sh WINDOWS_BUILD LINUX_BIN MODEM_LINES OUT_DIR" >&2
  exit 2
fi
if [ -z "${TOBRANE_XVFB:-}" ]; then
  TOBRANE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
src=$PWD
build=$1
linux_bin=$(cd "$2" && pwd)
export TOBRANE_PRELOAD=$3
mkdir -p "$4"
out=$(cd "$4" && pwd)
for tool in xdotool import convert; do
  command -v "$tool" > /dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
. tests/win32window/wine-window.sh
. scripts/sim-pty.sh
top=$(mktemp -d)
trap 'wine_window_stop; stop_sim; rm -rf "$top"' EXIT
fail() {
  echo "screenshot: $*" >&2
  exit 1
}
readonly kTitle="Tobrane PROM Loader"

wine_window_setup "$build"
set_setting Serial Port 5
set_setting Config Verify Y

# Keys go to Wine's desktop window, which hands them to its active window.
keys() {
  local desktop
  desktop=$(xdotool search --name "Wine desktop" | head -n 1)
  xdotool windowfocus --sync "$desktop"
  xdotool key --delay 150 "$@"
}

# capture NAME PROFILE PNG: one run, from start-up to the capture.
capture() {
  local work=$top/$1 rom left y width height
  mkdir -p "$work"
  cp "$src/examples/OEMModel.ini" "$work/"
  "$linux_bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 8192
  rom=$(winepath -w "$work/sample-500.rom" 2>/dev/null)
  start_sim "$linux_bin" "$2" "$work" || fail "the simulator did not start"
  link_com 5 "$device"
  start_window "$work"
  wait_until 30 probe wait "UPS Communications " 1 || fail "no start-up notice"
  keys Return
  keys alt+f u
  # Ctrl+O is refused while Connect runs, so it is pressed until the Open dialog shows.
  for _ in $(seq 120); do
    keys ctrl+o
    probe wait Open 1 && break
  done
  probe wait Open 1 || fail "the Open dialog never showed"
  xdotool type --delay 20 "$rom"
  keys Return
  wait_until 20 title_is "$kTitle - $rom" || fail "the image did not open"
  keys alt+f p
  # Program UPS closes the image at its end; a message box on the way is answered OK.
  for _ in $(seq 600); do
    [ -n "$(probe boxes)" ] && sleep 0.5
    title_is "$kTitle" && break
    sleep 0.2
  done
  title_is "$kTitle" || fail "Program UPS did not end"
  sleep 0.5  # the last repaint
  read -r left y width height < <(probe rect frame)
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${width}x${height}+${left}+${y}" +repage "$3"
  wine_window_stop
  stop_sim
}

capture success "$src/sim/profiles/default.json" "$out/screenshot-windows.png"

# The same UPS, answering the second program block with a reply of another block.
mkdir -p "$top/profiles"
cp "$src"/sim/profiles/*.json "$top/profiles/"
sed '$ s/}$/, "faults": [{"request": "program-block", "occurrence": 2, "fault": "wrong-block"}]}/' \
  "$src/sim/profiles/default.json" > "$top/profiles/program-fault.json"
capture failed "$top/profiles/program-fault.json" "$out/screenshot-windows-failed.png"
echo "screenshot: $out/screenshot-windows.png $out/screenshot-windows-failed.png"
