# What the rigs that put tobrane-upssim on a pty for one command share
# (tests/ser2net/ser2net-rig.sh, tests/wine/sim-com-port.sh). Sourced: the
# rig sets rig_name (its errors' prefix) and work (the simulator's directory)
# first, and reads command, then_command, sim_pid, device and status.

# Splits "[--] COMMAND... [--then THEN_COMMAND...]".
rig_split_commands() {
  [ "${1-}" = "--" ] && shift
  command=()
  while [ $# -gt 0 ] && [ "$1" != "--then" ]; do command+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  then_command=("$@")
}

# The first line FILE gets within SECONDS; empty when it did not come or
# process PID, which writes it, ended without it.
rig_first_line() {
  local file=$1 pid=$2 seconds=$3 line="" running
  for _ in $(seq $((seconds * 20))); do
    running=1
    kill -0 "$pid" 2>/dev/null || running=0
    line=$(head -n 1 "$file" 2>/dev/null || true)
    if [ -n "$line" ] || [ $running -eq 0 ]; then break; fi
    sleep 0.05
  done
  printf '%s' "$line"
}

# Starts the simulator with its state going to $work/ups-state.json and sets
# device to its pty: rig_start_simulator UPSSIM PROFILE SECONDS [SIM_ARG...]
rig_start_simulator() {
  local upssim=$1 profile=$2 seconds=$3
  shift 3
  "$upssim" --profile "$profile" --state-out "$work/ups-state.json" "$@" > "$work/sim.out" &
  sim_pid=$!
  device=$(rig_first_line "$work/sim.out" "$sim_pid" "$seconds")
  [ -n "$device" ] || { echo "$rig_name: the simulator printed no pty" >&2; exit 1; }
}

# A simulator whose pty nobody reads any more may be stuck in a write: it
# gets two seconds, then the kill.
rig_stop_simulator() {
  [ -n "$sim_pid" ] || return 0
  kill "$sim_pid" 2>/dev/null || true
  for _ in $(seq 40); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.05; done
  kill -9 "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
}

# After the simulator has stopped: the command given after --then, when the
# first one succeeded, with the simulator's directory.
rig_run_then() {
  if [ "$status" -eq 0 ] && [ ${#then_command[@]} -gt 0 ]; then
    TOBRANE_SIM_WORK="$work" "${then_command[@]}" || status=$?
  fi
}
