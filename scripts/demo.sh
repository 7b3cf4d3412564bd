#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: the UPS simulator on a
# pseudo-terminal, flashed end to end by the command-line front end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
echo "The demo needs the simulator and the command-line front end, which are not built yet."
