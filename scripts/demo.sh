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

. scripts/sim-pty.sh
work=$(mktemp -d)
cleanup() {
  stop_sim
  rm -rf "$work"
}
trap cleanup EXIT

# Settings of this run only: the user's own stay untouched.
export XDG_CONFIG_HOME=$work/config
cp examples/OEMModel.ini "$work/"
"$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 16384

# The simulator prints the path of its pty's terminal side, then serves it.
if ! start_sim "$bin" sim/profiles/default.json "$work"; then
  echo "demo: the simulator did not start" >&2
  exit 1
fi

cd "$work"
echo "\$ tobrane-cli --device $device program sample-500.rom"
status=0
"$bin/tobrane-cli" --device "$device" program sample-500.rom || status=$?
echo "exit status: $status"
exit "$status"
