#!/usr/bin/env bash
# Test rig: tobrane-upssim on a Linux pty, linked as a COM port of the Windows
# tree's Wine prefix, for the length of one command.
#   sim-com-port.sh [options] UPSSIM PROFILE WINE_RUN COM_NUMBER -- COMMAND...
# Options: --modem-lines LIB (LD_PRELOAD the pty's modem lines into Wine),
# --sim-arg ARG (passed on to the simulator, repeatable).
# COMMAND runs with TOBRANE_COM=COMn, TOBRANE_SIM_DEVICE (the pty itself),
# TOBRANE_SIM_WORK (the simulator's directory) and WINE_RUN; after it the simulator is stopped and its state
# is in $TOBRANE_SIM_WORK/ups-state.json for a command given after --then.
set -euo pipefail
preload=""
sim_args=()
while [ "${1#--}" != "$1" ]; do
  case $1 in
    --modem-lines) preload=$2; shift 2 ;;
    --sim-arg) sim_args+=("$2"); shift 2 ;;
    *) echo "sim-com-port.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
upssim=$1 profile=$2 wine_run=$3 com=$4
shift 4
[ "$1" = "--" ] && shift
command=()
while [ $# -gt 0 ] && [ "$1" != "--then" ]; do command+=("$1"); shift; done
[ $# -gt 0 ] && shift
then_command=("$@")

work=$(mktemp -d)
prefix=$("$wine_run" --prefix)
link="$prefix/dosdevices/com$com"
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT

"$upssim" --profile "$profile" --state-out "$work/ups-state.json" "${sim_args[@]}" > "$work/sim.out" &
sim_pid=$!
device=""
for _ in $(seq 100); do
  device=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
  [ -n "$device" ] && break
  sleep 0.1
done
[ -n "$device" ] || { echo "sim-com-port.sh: the simulator printed no pty" >&2; exit 1; }
ln -sfn "$device" "$link"

status=0
TOBRANE_COM="COM$com" TOBRANE_SIM_DEVICE="$device" TOBRANE_SIM_WORK="$work" WINE_RUN="$wine_run" LD_PRELOAD="$preload" \
  "${command[@]}" || status=$?
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=""
if [ "$status" -eq 0 ] && [ ${#then_command[@]} -gt 0 ]; then
  TOBRANE_SIM_WORK="$work" "${then_command[@]}" || status=$?
fi
exit "$status"
