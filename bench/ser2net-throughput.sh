#!/usr/bin/env bash
# Real-time throughput through ser2net beside the direct pty, in one run:
# tobrane-transfer-timer against tobrane-upssim paced at the line speed (one
# 64 KiB code space), once over rfc2217:// through a ser2net on 127.0.0.1
# that serves the simulator's pty, once on the pty itself, and with
# --round-trip MS once more through ser2net behind a proxy that gives the
# network that round trip (bench/delay-proxy.py):
#   bench/ser2net-throughput.sh [LINUX_TREE] [--runs N] [--speeds "57600"] [--round-trip MS]
# The tree defaults to build and must be built already (its modem-line
# library is in tests/ser2net/ of the tree).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=build runs=2 speeds="57600" round_trip=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --speeds) speeds=$2; shift 2 ;;
    --round-trip) round_trip=$2; shift 2 ;;
    -*) echo "ser2net-throughput.sh: unknown option $1" >&2; exit 2 ;;
    *) tree=$1; shift ;;
  esac
done
tree=$(cd "$tree" && pwd)
timer_program=$tree/bin/tobrane-transfer-timer
modem_lines=$tree/tests/ser2net/libtobrane-modemlines.so
for program in "$timer_program" "$tree/bin/tobrane-upssim" "$modem_lines"; do
  [ -e "$program" ] || { echo "ser2net-throughput.sh: $program is missing; build the tree first" >&2; exit 1; }
done

profile=$(mktemp)
trap 'rm -f "$profile"' EXIT

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| line | speed | program: data bytes/s (mean time) | ratio | verify: data bytes/s (mean time) | ratio |"
echo "|---|---|---|---|---|---|"
for speed in $speeds; do
  bash "$here/fixed-speed-profile.sh" "$speed" > "$profile"
  lines="ser2net pty"
  [ -n "$round_trip" ] && lines+=" ser2net+${round_trip}ms"
  for line in $lines; do
    device='$TOBRANE_NET_DEVICE'
    [ $line = pty ] && device='$TOBRANE_SIM_DEVICE'
    delay=()
    [ $line = "ser2net+${round_trip}ms" ] && delay=(--round-trip "$round_trip")
    figures=$(bash "$here/../tests/ser2net/ser2net-rig.sh" "${delay[@]}" "$tree/bin/tobrane-upssim" "$profile" "$modem_lines" -- \
      bash -c "cd \"\$TOBRANE_SIM_WORK\" && \"\$0\" \"$device\" \"\$1\" \"\$2\"" "$timer_program" "$speed" "$runs")
    awk -v line=$line -v speed="$speed" '
      { rate[$1] = $2; mean[$1] = $3; ratio[$1] = $4 }
      END { printf "| %s | %s | %s (%s s) | %s | %s (%s s) | %s |\n", line, speed, rate["program"],
              mean["program"], ratio["program"], rate["verify"], mean["verify"], ratio["verify"] }' <<< "$figures"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
