#!/usr/bin/env bash
# Screenshots of the window for the README, under Xvfb on the demo workspace: the window grown
# after a run at 1x (docs/window-grown.png), at 2x (docs/window-2x.png), dark
# (docs/window-dark.png), in Russian (docs/window-ru.png), the question "Clear current statics"
# with its map (docs/clear-question-map.png), and the window started in a home folder asking for
# the server's folder (docs/folder-dialog.png). Needs a build and xvfb, xdotool, imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bin="$root/${BIN:-build/bin}"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=:96
Xvfb "$DISPLAY" -screen 0 1600x1000x24 >/dev/null 2>&1 &
sleep 1
unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

window() {  # the id of the first window whose name matches $1
  local id=""
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.2
  done
  echo "$id"
}
# One run of the demo world: $1 the output, $2 the scale, $3 the grown size, then mirnax's options.
run() {
  local out=$1 scale=$2 size=$3; shift 3
  rm -rf "$work/demo"; "$bin/mirnax-demo" "$work/demo" >/dev/null
  (cd "$work/demo" && QT_SCALE_FACTOR=$scale "$bin/mirnax" "$@") &
  local pid=$! win; win=$(window "Kevo - MIRNAX")
  sleep 1
  # Activation reloads the list: get it done before the clicks.
  xdotool windowactivate "$win" 2>/dev/null || xdotool mousemove --window "$win" 400 70 click 1
  sleep 1
  xdotool mousemove --window "$win" $((100 * scale)) $((247 * scale)) click 1; sleep 0.4   # All
  xdotool mousemove --window "$win" $((600 * scale)) $((273 * scale)) click 1; sleep 1.5   # Start
  if [ "$out" = clear-question-map ]; then
    import -window "$(xdotool search --onlyvisible --class mirnax | grep -v "^$win\$" | tail -1)" "$root/docs/$out.png"
  fi
  xdotool key shift+Tab space; sleep 2   # "Clear current statics": Yes (in any language)
  xdotool windowmove "$win" 0 0; xdotool windowsize "$win" ${size/x/ }; sleep 1
  [ "$out" = clear-question-map ] || import -window "$win" "$root/docs/$out.png"
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "wrote docs/$out.png"
}
run window-grown 1 900x520
run window-2x 2 1500x800
run window-dark 1 900x520 -style fusion -stylesheet "$root/tools/dark.qss"
LANG=ru_RU.UTF-8 LC_ALL= LANGUAGE= run window-ru 1 636x332
run clear-question-map 1 636x332

# Started where there is no server's folder (the desktop's menu starts it in the home folder), with
# the demo workspace chosen before: it is offered again.
mkdir -p "$work/home" "$XDG_CONFIG_HOME/mirnax"
printf '[General]\nRecentFolders=%s\n' "$work/demo" > "$XDG_CONFIG_HOME/mirnax/mirnax.conf"
(cd "$work/home" && "$bin/mirnax") &
pid=$!
win=$(window "Kevo - MIRNAX")
xdotool windowactivate "$win" 2>/dev/null || xdotool mousemove --window "$win" 400 70 click 1
sleep 2
import -window root -crop 700x480+460+240 "$root/docs/folder-dialog.png"
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "wrote docs/folder-dialog.png"
