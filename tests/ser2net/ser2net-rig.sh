#!/usr/bin/env bash
# Test rig: tobrane-upssim on a Linux pty, served over RFC 2217 by a ser2net
# of its own on 127.0.0.1, for the length of one command.
#   ser2net-rig.sh [--sim-arg ARG]... [--round-trip MS] UPSSIM PROFILE MODEM_LINES -- COMMAND...
# MODEM_LINES is the modem-line library (tests/wine/ModemLines.c): ser2net
# answers no DTR/RTS request on a pty without it. COMMAND runs with
# TOBRANE_NET_DEVICE (rfc2217://127.0.0.1:PORT), TOBRANE_SIM_DEVICE (the
# pty), TOBRANE_SER2NET_PID and TOBRANE_SIM_WORK; after it both are stopped
# and the simulator's state is in $TOBRANE_SIM_WORK/ups-state.json for a
# command given after --then. With --round-trip, TOBRANE_NET_DEVICE names a
# proxy (bench/delay-proxy.py) that delays each direction by half of MS.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rig_name=ser2net-rig.sh
source "$here/../support/simulator-rig.sh"
sim_args=() round_trip=""
while [ "${1#--}" != "$1" ]; do
  case $1 in
    --sim-arg) sim_args+=("$2"); shift 2 ;;
    --round-trip) round_trip=$2; shift 2 ;;
    *) echo "ser2net-rig.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
upssim=$1 profile=$2 modem_lines=$3
shift 3
rig_split_commands "$@"

work=$(mktemp -d)
sim_pid="" ser2net_pid="" proxy_pid=""
stop() {
  if [ -n "$proxy_pid" ]; then kill "$proxy_pid" 2>/dev/null || true; wait "$proxy_pid" 2>/dev/null || true; fi
  if [ -n "$ser2net_pid" ]; then kill "$ser2net_pid" 2>/dev/null || true; wait "$ser2net_pid" 2>/dev/null || true; fi
  rig_stop_simulator
  ser2net_pid="" proxy_pid=""
}
trap 'stop; rm -rf "$work"' EXIT

rig_start_simulator "$upssim" "$profile" 5 "${sim_args[@]}"

# A port picked at random; another one if ser2net cannot take it.
port=""
for _ in $(seq 20); do
  candidate=$((20000 + RANDOM % 40000))
  # As the README advises: no wait for more serial bytes before sending
  # (chardelay) and no Nagle delay on the server's side (nodelay), each of
  # which cost every reply time.
  cat > "$work/ser2net.yaml" <<CONFIG
connection: &con0
  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,$candidate
  connector: serialdev,$device,19200n81,local
  options:
    max-connections: 1
    chardelay: false
CONFIG
  LD_PRELOAD="$modem_lines" ser2net -n -d -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" > "$work/ser2net.log" 2>&1 &
  ser2net_pid=$!
  for _ in $(seq 40); do
    # Listening (state 0A) on the port, in the kernel's table.
    grep -qi ":$(printf '%04X' "$candidate") 00000000:0000 0A" /proc/net/tcp && { port=$candidate; break; }
    kill -0 "$ser2net_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$port" ] && break
  kill "$ser2net_pid" 2>/dev/null; wait "$ser2net_pid" 2>/dev/null || true
  ser2net_pid=""
done
[ -n "$port" ] || { echo "ser2net-rig.sh: ser2net did not start:" >&2; cat "$work/ser2net.log" >&2; exit 1; }

if [ -n "$round_trip" ]; then
  python3 "$here/../../bench/delay-proxy.py" 0 "$port" "$round_trip" > "$work/proxy.out" &
  proxy_pid=$!
  port=$(rig_first_line "$work/proxy.out" "$proxy_pid" 5)
  [ -n "$port" ] || { echo "ser2net-rig.sh: the delaying proxy did not start" >&2; exit 1; }
fi

status=0
TOBRANE_NET_DEVICE="rfc2217://127.0.0.1:$port" TOBRANE_SIM_DEVICE="$device" TOBRANE_SER2NET_PID="$ser2net_pid" \
  TOBRANE_SIM_WORK="$work" "${command[@]}" || status=$?
stop
rig_run_then
exit "$status"
