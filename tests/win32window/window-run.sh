#!/usr/bin/env bash
# window-run.sh BUILD LINUX_BIN MODEM_LINES: the window under Wine and Xvfb
# against tobrane-upssim on COM5, driven from outside through window-probe.
#  - Connect, Open and Program UPS with verify show the very transcript that
#    tobrane-cli.exe prints for the same run, on a light green background.
#    The status bar's progress bar moves during the transfer and goes at its
#    end. File > Save Report... writes that run's report.
#  - A transfer the UPS breaks off turns the transcript light red, and the
#    window refuses to close until a Connect has run.
#  - The command line names a ROM file in a script outside any ANSI code page,
#    with blanks, the COM port (the stored one does not exist) and a trace
#    file: the image is read and Program UPS stops for want of a Connect.
#  - While Connect runs, another command's toolbar button (About) is greyed;
#    it is enabled after.
#  - Two unquoted words that name no file: the window opens and says
#    "Unable to open file".
set -euo pipefail
if [ -z "${TOBRANE_XVFB:-}" ]; then
  TOBRANE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=$1 linux_bin=$2
export TOBRANE_PRELOAD=$3
. "$here/wine-window.sh"
. "$src/scripts/sim-pty.sh"
work=$(mktemp -d)
cleanup() {
  wine_window_stop
  stop_sim
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
  echo "window-run: $*" >&2
  failed=1
}
readonly kTitle="Tobrane PROM Loader"

wine_window_setup "$build"
cp "$src/examples/OEMModel.ini" "$work/"
"$linux_bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 8192
rom=$(winepath -w "$work/sample-500.rom" 2>/dev/null)
set_setting Serial Port 5
set_setting Config Verify Y

# The transcript's background, half-way down and left of the scroll bar.
background() {
  import -window root "$work/screen.png"
  local left top width height
  read -r left top width height < <(probe rect)
  convert "$work/screen.png" -format "%[pixel:p{$((left + width - 40)),$((top + height / 2))}]" info:
}

# Connect succeeded once Open shows its dialog (Open is refused while a
# command runs); the dialog is cancelled.
connect() {
  probe command 32773
  wait_until 10 about_greyed || fail "About is not greyed while Connect runs"
  for _ in $(seq 150); do
    probe command 57601
    probe wait Open 1 && break
  done
  probe press Open 2
  wait_until 10 probe enabled 57664 || fail "About is not enabled after Connect"
}

about_greyed() {
  ! probe enabled 57664
}

# program_through_window PROFILE: start-up, Connect, Open and Program UPS;
# the message boxes shown on the way end up in $work/boxes, the progress
# bar's positions seen in $work/progress.
program_through_window() {
  : > "$work/boxes"
  : > "$work/progress"
  start_sim "$linux_bin" "$1" "$work" || { fail "the simulator did not start"; return; }
  link_com 5 "$device"
  start_window "$work"
  wait_until 30 probe wait "UPS Communications " 1 || fail "no start-up notice"
  probe press "UPS Communications " 1
  connect
  probe command 57601
  probe wait Open 10 || fail "no Open dialog"
  probe set-text Open 1148 "$rom"
  probe press Open 1
  wait_until 20 title_is "$kTitle - $rom" || fail "the image did not open"
  probe command 32772
  # Program UPS closes the image at its end, which sets the plain title again.
  for _ in $(seq 600); do
    probe boxes >> "$work/boxes"
    probe progress >> "$work/progress" || true
    title_is "$kTitle" && break
    sleep 0.2
  done
  title_is "$kTitle" || fail "Program UPS did not end"
}

window_gone() {
  ! probe alive
}

# The elapsed seconds differ from run to run.
comparable() {
  sed -e 's/\r$//' -e 's/^Programming Completed in [0-9]* seconds$/Programming Completed in N seconds/' "$1"
}

# Success: the window's transcript is tobrane-cli.exe's.
program_through_window "$src/sim/profiles/default.json"
probe transcript > "$work/window.txt"
[ -s "$work/boxes" ] && fail "message boxes in a clean run: $(cat "$work/boxes")"
[ "$(background)" = "srgb(128,255,128)" ] || fail "the transcript is not light green after success"
[ "$(awk '$1 > 0 && $1 < 100' "$work/progress" | sort -u | wc -l)" -ge 2 ] ||
  fail "the progress bar did not move: $(tr '\n' ' ' < "$work/progress")"
probe progress >/dev/null && fail "the progress bar still shows after the run"
probe command 32776
probe wait "Save Report" 10 || fail "no Save Report dialog"
probe set-text "Save Report" 1148 "$(winepath -w "$work" 2>/dev/null)\\report"
probe press "Save Report" 1
wait_until 10 grep -q '"name": "program"' "$work/report.json" || fail "no report of the run in report.json"
probe command 57665
wait_until 10 window_gone || fail "Exit did not close the window"
wine_window_stop
stop_sim
start_sim "$linux_bin" "$src/sim/profiles/default.json" "$work" || fail "the simulator did not start again"
link_com 5 "$device"
(cd "$work" && LD_PRELOAD=$TOBRANE_PRELOAD wine "$wine_bin/tobrane-cli.exe" program sample-500.rom --verify) \
  </dev/null > "$work/cli.txt" 2>"$work/cli.err" || fail "tobrane-cli.exe failed: $(cat "$work/cli.err")"
stop_sim
grep -q "^Verification Completed" "$work/window.txt" || fail "the window's run did not verify"
diff -u <(comparable "$work/cli.txt") <(comparable "$work/window.txt") || fail "the transcripts differ"

# Failure: the UPS answers the second program block with a reply of another block.
sed '$ s/}$/, "faults": [{"request": "program-block", "occurrence": 2, "fault": "wrong-block"}]}/' \
  "$src/sim/profiles/default.json" > "$work/program-fault.json"
cp "$src"/sim/profiles/*.json "$work/"
program_through_window "$work/program-fault.json"
[ -s "$work/boxes" ] || fail "no message box for the failed transfer"
[ "$(background)" = "srgb(255,128,128)" ] || fail "the transcript is not light red after the failure"
probe command 57665
sleep 2
probe alive || fail "the window closed after a failed transfer"
connect
probe command 57665
wait_until 10 window_gone || fail "the window did not close after a Connect"
wine_window_stop
stop_sim

readonly kNamed="Прошивка Ω 1.rom" kTrace="След Ω.txt"
cp "$work/sample-500.rom" "$work/$kNamed"
set_setting Serial Port 9
start_sim "$linux_bin" "$src/sim/profiles/default.json" "$work" || fail "the simulator did not start"
link_com 5 "$device"
start_window "$work" --device COM5 --trace "$kTrace" "$kNamed"
# A "Port Open FAILED" box would stand before the notice.
wait_until 30 probe wait "UPS Communications " 1 || fail "no start-up notice: $(probe boxes)"
probe press "UPS Communications " 1
transcript_has() {
  probe transcript | grep -q "$1"
}
wait_until 10 transcript_has "^Aborted flash operation" || fail "Program UPS did not stop"
transcript_has "^Header size is 20 bytes" || fail "the named ROM file was not read: $(probe transcript)"
probe boxes >/dev/null
probe command 57665
wait_until 10 window_gone || fail "Exit did not close the window"
grep -q " TX AB " "$work/$kTrace" || fail "no frames in the trace file"

unable_to_open() {
  probe boxes >> "$work/boxes"
  grep -qx "Unable to open file" "$work/boxes"
}
: > "$work/boxes"
start_window "$work" --device COM5 no such.rom
wait_until 30 probe wait "UPS Communications " 1 || fail "no start-up notice for two words: $(probe boxes)"
probe press "UPS Communications " 1
wait_until 10 unable_to_open || fail "no 'Unable to open file' box: $(cat "$work/boxes")"
probe command 57665
wait_until 10 window_gone || fail "Exit did not close the window"
exit $failed
