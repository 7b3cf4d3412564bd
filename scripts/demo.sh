#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: the UPS simulator on a
# pseudo-terminal, flashed end to end by the command-line front end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
scripts/build.sh build
bin=$root/build/bin

if [ ! -x "$bin/tobrane-upssim" ]; then
  echo "demo: the pty simulator (build/bin/tobrane-upssim) is not built in this tree" >&2
  exit 1
fi

work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Settings of this run only: the user's own stay untouched.
export XDG_CONFIG_HOME=$work/config
cp examples/OEMModel.ini "$work/"
"$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 16384

"$bin/tobrane-upssim" --profile sim/profiles/default.json --link "$work/ups" --state "$work/flash.bin" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$work/ups" ] && break; sleep 0.1; done

cd "$work"
echo "\$ tobrane-cli --device $work/ups program sample-500.rom"
status=0
"$bin/tobrane-cli" --device "$work/ups" program sample-500.rom || status=$?
echo "exit status: $status"
exit "$status"
