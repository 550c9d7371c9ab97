#!/usr/bin/env bash
# Sets everything up, writes the demo workspace (build/demo-workspace) and opens the window in it.
# Without a display it says so and freezes the demo world from the terminal instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh default
workspace="$PWD/build/demo-workspace"
rm -rf "$workspace"
build/bin/mirnax-demo "$workspace"
cd "$workspace"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  echo "Opening the window in $workspace: select the world files (All), then press Start."
  exec ../bin/mirnax
fi
echo "No display is present (DISPLAY is not set), so the window cannot open."
echo "Freezing the demo world from the terminal instead: mirnax-freeze --clear in $workspace"
echo
../bin/mirnax-freeze --clear
