#!/usr/bin/env bash
# dialogs.sh BUILD: each dialog of the window opens under Wine and Xvfb, and
# its controls, in template order, hold their ids and texts
# (dialogs.expected). The start-up notice shows by itself; Configuration,
# Select SubModule and About are opened by their commands. No port is
# linked, so the window first says "Port Open FAILED", and its transcript
# then names the port on light red. Before that, a usage
# error shows in a box (a window program has no console) and ends with
# status 2; after, the toolbar's gripper docks it at the left, standing, and
# View > Toolbar hides it, each time with the transcript beside it.
set -euo pipefail
if [ -z "${TOBRANE_XVFB:-}" ]; then
  TOBRANE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-window.sh"
work=$(mktemp -d)
trap 'wine_window_stop; rm -rf "$work"' EXIT

wine_window_setup "$1"
usage_box_answered() {
  probe boxes | grep -q "no-such-option"
}
start_window "$work" --no-such-option
wait_until 30 usage_box_answered || { echo "dialogs: no usage box" >&2; exit 1; }
status=0
wait "$window_pid" || status=$?
[ "$status" -eq 2 ] || { echo "dialogs: a usage error ended with status $status" >&2; exit 1; }

set_setting Serial Port 9
start_window "$work"
port_box_answered() {
  probe boxes >> "$work/boxes"
  grep -qx "Port Open FAILED" "$work/boxes"
}
wait_until 30 port_box_answered || { echo "dialogs: no 'Port Open FAILED' box" >&2; exit 1; }
# No model table anywhere it looks: said before the port is opened.
table_line=$(grep -n -m1 "^No model table found; searched: OEMModel.ini, .*OEMModel.ini\.$" "$work/boxes" | cut -d: -f1)
port_line=$(grep -n -m1 -x "Port Open FAILED" "$work/boxes" | cut -d: -f1)
[ -n "$table_line" ] && [ "$table_line" -lt "$port_line" ] ||
  { echo "dialogs: the missing model table was not named before the port: $(cat "$work/boxes")" >&2; exit 1; }

# show TITLE CLOSE_ID [COMMAND]: opens the dialog, lists its controls, closes it.
show() {
  [ $# -gt 2 ] && probe command "$3"
  probe wait "$1" 10 || { echo "dialogs: '$1' did not open" >&2; exit 1; }
  echo "== $1"
  probe controls "$1"
  probe press "$1" "$2"
  wait_until 10 dialog_closed "$1"
}
dialog_closed() {
  ! probe controls "$1"
}
probe_fails() {
  ! probe "$@"
}
show "UPS Communications " 1 > "$work/dialogs.txt"
probe transcript > "$work/transcript.txt"
head -n 1 "$work/transcript.txt" | grep -q "^Cannot open serial device .*COM9" ||
  { echo "dialogs: the transcript does not name the port: $(cat "$work/transcript.txt")" >&2; exit 1; }
import -window root "$work/screen.png"
read -r left top width height < <(probe rect)
colour=$(convert "$work/screen.png" -format "%[pixel:p{$((left + width - 40)),$((top + height / 2))}]" info:)
[ "$colour" = "srgb(255,128,128)" ] || { echo "dialogs: the transcript is $colour, not light red" >&2; exit 1; }
{
  show "Tobrane Setup" 2 130
  show "Tobrane Submodule Select" 2 101
  show "About Tobrane" 1 57664
} >> "$work/dialogs.txt"
diff -u "$here/dialogs.expected" "$work/dialogs.txt"

read -r frame_left _ _ frame_height < <(probe rect frame)
read -r left top _ height < <(probe rect toolbar)
xdotool mousemove $((left - 4)) $((top + height / 2)) mousedown 1 \
  mousemove --sync $((frame_left + 60)) $((top + frame_height / 2)) \
  mousemove --sync $((frame_left + 8)) $((top + frame_height / 2)) mouseup 1
read -r left top width height < <(probe rect toolbar)
read -r log_left _ _ _ < <(probe rect)
[ "$height" -gt "$width" ] && [ "$left" -lt "$log_left" ] && [ "$log_left" -lt $((left + width + 4)) ] ||
  { echo "dialogs: the toolbar at $left $top $width $height did not dock left of the transcript" >&2; exit 1; }
probe command 59392
wait_until 5 probe_fails rect toolbar || { echo "dialogs: View > Toolbar did not hide it" >&2; exit 1; }
read -r hidden_left _ _ _ < <(probe rect)
[ "$hidden_left" -lt "$log_left" ] || { echo "dialogs: the transcript did not take the toolbar's place" >&2; exit 1; }
