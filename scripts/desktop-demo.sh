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
# Settings of this run only: the user's own stay untouched.
demo_setup "$bin" desktop-demo

cd "$work"
echo "simulated UPS on $device; sample image $work/sample-500.rom"
"$bin/tobrane-loader" --device "$device"
