#!/usr/bin/env bash
# Real-time throughput under Wine beside Linux, in one run: the Windows and
# the Linux tobrane-transfer-timer against tobrane-upssim paced at the line
# speed (a UPS at a fixed speed, one 64 KiB code space) on a pty linked as a
# COM port of the Windows tree's Wine prefix:
#   bench/wine-throughput.sh [LINUX_TREE [WINDOWS_TREE]] [--runs N] [--speeds "19200 57600"]
#                            [--no-modem-lines]
# The trees default to build and build-windows and must be built already.
# Each figure is the mean of N runs (default 2) of Program UPS (verify off)
# or Verify Program, with the ratio to the wire limit as bench_ProgramBench
# gives it. Wine gets the preloaded modem lines a real port has unless
# --no-modem-lines is given; then it cannot wait for received bytes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux=build windows=build-windows runs=2 speeds="19200 57600" modem_lines=1 trees=0
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --speeds) speeds=$2; shift 2 ;;
    --no-modem-lines) modem_lines=0; shift ;;
    -*) echo "wine-throughput.sh: unknown option $1" >&2; exit 2 ;;
    *) if [ $trees -eq 0 ]; then linux=$1; else windows=$1; fi; trees=$((trees + 1)); shift ;;
  esac
done
linux=$(cd "$linux" && pwd)
windows=$(cd "$windows" && pwd)
rig=(bash "$here/../tests/wine/sim-com-port.sh")
[ $modem_lines -eq 1 ] && rig+=(--modem-lines "$windows/host/libtobrane-modemlines.so")
for program in "$linux/bin/tobrane-transfer-timer" "$linux/bin/tobrane-upssim" \
  "$windows/bin/tobrane-transfer-timer.exe" "$windows/wine-run"; do
  [ -e "$program" ] || { echo "wine-throughput.sh: $program is missing; build the trees first" >&2; exit 1; }
done

profile=$(mktemp)
trap 'rm -f "$profile"' EXIT

# One timer at one speed inside the rig, in the simulator's directory: the
# Linux one on the pty itself (without the preloaded library), the Windows
# one on the COM port.
timer() {
  local tool=$1 speed=$2
  local command='cd "$TOBRANE_SIM_WORK" && env -u LD_PRELOAD "$0" "$TOBRANE_SIM_DEVICE" "$1" "$2"'
  local timer_program=$linux/bin/tobrane-transfer-timer
  if [ "$tool" = windows ]; then
    command='cd "$TOBRANE_SIM_WORK" && "$WINE_RUN" "$0" "$TOBRANE_COM" "$1" "$2"'
    timer_program=$windows/bin/tobrane-transfer-timer.exe
  fi
  "${rig[@]}" "$linux/bin/tobrane-upssim" "$profile" "$windows/wine-run" 31 -- \
    bash -c "$command" "$timer_program" "$speed" "$runs"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| tool | speed | program: data bytes/s (mean time) | ratio | verify: data bytes/s (mean time) | ratio |"
echo "|---|---|---|---|---|---|"
for speed in $speeds; do
  bash "$here/fixed-speed-profile.sh" "$speed" > "$profile"
  for tool in linux windows; do
    figures=$(timer $tool "$speed")
    awk -v tool=$tool -v speed="$speed" '
      { rate[$1] = $2; mean[$1] = $3; ratio[$1] = $4 }
      END { printf "| %s | %s | %s (%s s) | %s | %s (%s s) | %s |\n", tool, speed, rate["program"],
              mean["program"], ratio["program"], rate["verify"], mean["verify"], ratio["verify"] }' <<< "$figures"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
