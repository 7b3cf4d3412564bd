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
rig_name=sim-com-port.sh
source "$(dirname "$0")/../support/simulator-rig.sh"
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
rig_split_commands "$@"

work=$(mktemp -d)
prefix=$("$wine_run" --prefix)
link="$prefix/dosdevices/com$com"
sim_pid=""
cleanup() {
  rig_stop_simulator
  rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT

rig_start_simulator "$upssim" "$profile" 10 "${sim_args[@]}"
ln -sfn "$device" "$link"

status=0
TOBRANE_COM="COM$com" TOBRANE_SIM_DEVICE="$device" TOBRANE_SIM_WORK="$work" WINE_RUN="$wine_run" LD_PRELOAD="$preload" \
  "${command[@]}" || status=$?
rig_stop_simulator
rig_run_then
exit "$status"
