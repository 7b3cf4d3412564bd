#!/usr/bin/env bash
# For a person at a desktop: the UPS simulator on a pseudo-terminal and the
# window opened on it, with settings of this run only and a sample image to
# open (File > Open, sample-500.rom), so Connect, Open and Program UPS work as
# on a real UPS. scripts/desktop-demo.sh [BUILD_DIR]; builds the tree first
# when the window is not built yet.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[ -x "$dir/bin/tobrane-loader" ] || scripts/build.sh "$dir"
bin=$(cd "$dir/bin" && pwd)

. scripts/sim-pty.sh
work=$(mktemp -d)
cleanup() {
  stop_sim
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config
cp examples/OEMModel.ini "$work/"
"$bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 16384
if ! start_sim "$bin" "$PWD/sim/profiles/default.json" "$work"; then
  echo "desktop-demo: the simulator did not start" >&2
  exit 1
fi
cd "$work"
echo "simulated UPS on $device; sample image $work/sample-500.rom"
"$bin/tobrane-loader" --device "$device"
