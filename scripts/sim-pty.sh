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
