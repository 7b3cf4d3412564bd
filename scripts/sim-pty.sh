# Sourced by the scripts that need the UPS simulator on a pseudo-terminal.
# start_sim BIN PROFILE WORKDIR starts tobrane-upssim in the background,
# sets sim_pid, and sets device to the pty path the simulator prints first;
# stop_sim ends it. Returns 1 when the simulator printed no path.
sim_pid=""
device=""

start_sim() {
  local bin=$1 profile=$2 work=$3
  "$bin/tobrane-upssim" --profile "$profile" --state-out "$work/ups-state.json" > "$work/sim.out" &
  sim_pid=$!
  device=""
  for _ in $(seq 50); do
    device=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$device" ] && return 0
    sleep 0.1
  done
  return 1
}

stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
  fi
}

# demo_setup BIN NAME: the simulator's default UPS on a pty in a fresh work
# directory with the model file and sample-500.rom, settings of this run only
# (XDG_CONFIG_HOME), and both removed at exit; NAME prefixes the error.
work=""
demo_setup() {
  local bin=$1 name=$2
  work=$(mktemp -d)
  trap 'stop_sim; rm -rf "$work"' EXIT
  export XDG_CONFIG_HOME=$work/config
  cp examples/OEMModel.ini "$work/"
  "$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 16384
  if ! start_sim "$bin" "$PWD/sim/profiles/default.json" "$work"; then
    echo "$name: the simulator did not start" >&2
    exit 1
  fi
}
