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
# Settings of this run only: the user's own stay untouched.
demo_setup "$bin" demo

cd "$work"
echo "\$ tobrane-cli --device $device program sample-500.rom"
status=0
"$bin/tobrane-cli" --device "$device" program sample-500.rom || status=$?
echo "exit status: $status"
exit "$status"
