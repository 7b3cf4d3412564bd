#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: the UPS simulator on a
# pseudo-terminal, flashed end to end by the command-line front end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
bin=$PWD/build/bin

if [ ! -x "$bin/tobrane-upssim" ]; then
  echo "demo: the pty simulator (build/bin/tobrane-upssim) is not built in this tree" >&2
  exit 1
fi

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Settings of this run only: the user's own stay untouched.
export XDG_CONFIG_HOME=$work/config
cp examples/OEMModel.ini "$work/"
"$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 16384

# The simulator prints the path of its pty's terminal side, then serves it.
"$bin/tobrane-upssim" --profile sim/profiles/default.json --state-out "$work/ups-state.json" > "$work/sim.out" &
sim_pid=$!
device=""
for _ in $(seq 50); do
  device=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
  [ -n "$device" ] && break
  sleep 0.1
done
if [ -z "$device" ]; then
  echo "demo: the simulator did not start" >&2
  exit 1
fi

cd "$work"
echo "\$ tobrane-cli --device $device program sample-500.rom"
status=0
"$bin/tobrane-cli" --device "$device" program sample-500.rom || status=$?
echo "exit status: $status"
exit "$status"
