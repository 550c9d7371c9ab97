#!/usr/bin/env bash
# Takes a screenshot of the window under Xvfb after a run on the demo workspace: docs/window.png.
# Needs a build (tools/setup.sh) and the packages xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${1:-$root/docs/window.png}"
workspace=/tmp/mirnax-demo; rm -rf "$workspace"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$workspace"' EXIT
"${BIN:-build/bin}"/mirnax-demo "$workspace" >/dev/null
export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x640x24 >/dev/null 2>&1 &
sleep 1
unset QT_QPA_PLATFORM
(cd "$workspace" && "$root/${BIN:-build/bin}/mirnax") &
for _ in $(seq 50); do
  win=$(xdotool search --name "Kevo - MIRNAX" 2>/dev/null | head -1) && [ -n "$win" ] && break
  sleep 0.2
done
sleep 1
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.4; }
xdotool windowactivate "$win" 2>/dev/null || click 400 70   # activation reloads the list: get it done first
sleep 1
click 100 247   # All
click 600 273   # Start
sleep 1
xdotool key alt+y   # "Clear current statics": Yes (Return would answer No)
sleep 2
mkdir -p "$(dirname "$out")"
import -window "$win" "$out"
echo "wrote $out"
