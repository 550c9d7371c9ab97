#!/usr/bin/env bash
# The freeze benchmark. For a world of ITEMS items (default 1,000,000) and then twice and four
# times that, with a statics pair of RECORDS old records (default 3,000,000), it runs in turn, RUNS
# times each (default 3), and prints the medians of wall time, peak memory and processor time:
#   - freeze_baseline, a plain program written only for this job (bench/freeze_baseline.cpp);
#   - `mirnax-freeze --keep` (target: at most 1.2 times the baseline's time; peak memory at most
#     0.25 times the world file's size);
#   - the window's run, pressing Start and answering No (bench/window_run.cpp; target: at most 1.2
#     times the terminal's time, peak memory at most 1.5 times the world file's size). The window's
#     start alone (`window_run --start-only`: Qt's libraries, the platform, the form) is measured
#     apart, and "run x term" is the window's time without it over the terminal's.
# All three must write the same two files, byte for byte; the benchmark stops when they do not.
# Usage: bench/freeze_bench.sh [BUILD_DIR]  (default: build, configured with the benchmarks on and
# built first; a BUILD_DIR given must already hold in bin/ the tools below).
set -euo pipefail
cd "$(dirname "$0")/.."
tools="mirnax-freeze make_bench_data measure freeze_baseline window_run"
if [ -z "${1:-}" ]; then
  # Benchmarks are not part of a plain build: switch them on in build/ and build what this needs.
  cmake --preset default -DMIRNAX_BENCH=ON >/dev/null
  cmake --build --preset default --target $tools
fi
bin="$(cd "${1:-build}/bin" && pwd)"
items="${ITEMS:-1000000}"
records="${RECORDS:-3000000}"
runs="${RUNS:-3}"
for tool in $tools; do
  [ -x "$bin/$tool" ] || { echo "freeze_bench: $bin/$tool is missing; build the project first" >&2; exit 2; }
done
export QT_QPA_PLATFORM=offscreen

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# run NAME COMMAND...: one run on fresh copies of the statics; its time and peak memory go to
# NAME.times and NAME.rss, its two files are compared with the baseline's.
run() {
  local name="$1"
  shift
  cp pristine/staidx0.mul pristine/statics0.mul .
  "$bin/measure" result "$@" >"$name.log" 2>"$name.err" || {
    cat "$name.log" "$name.err"
    echo "freeze_bench: $name failed" >&2
    exit 1
  }
  awk '{ print $1 }' result >>"$name.times"
  awk '{ print $2 }' result >>"$name.rss"
  awk '{ print $3 }' result >>"$name.cpu"
  if [ "$name" = baseline ]; then
    cp staidx0.mul expected_staidx0.mul
    cp statics0.mul expected_statics0.mul
  elif ! cmp -s staidx0.mul expected_staidx0.mul || ! cmp -s statics0.mul expected_statics0.mul; then
    echo "freeze_bench: $name wrote other files than the baseline" >&2
    exit 1
  fi
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
  "$bin/measure" result "$bin/window_run" --start-only >/dev/null 2>&1 || { echo "freeze_bench: window_run --start-only failed" >&2; exit 1; }
  awk '{ print $1 }' result >>start.times
done
start="$(median <start.times)"
echo "window start alone: $start s"
printf "%-6s %9s | %9s %9s %7s | %9s %7s %8s %9s | %9s %7s | %9s %9s\n" scale "world MB" "base s" "term s" "x base" "win s" \
  "x term" "x base" "run x term" "term mem" "win mem" "cpu term" "cpu win"
for scale in 1 2 4; do
  rm -rf STATICS pristine ./*.times ./*.rss ./*.cpu
  "$bin/make_bench_data" . $((items * scale)) "$records" >/dev/null
  mkdir pristine
  mv staidx0.mul statics0.mul pristine/
  for i in $(seq "$runs"); do
    run baseline "$bin/freeze_baseline" staidx0.mul statics0.mul STATICS/BENCH.SCP
    run terminal "$bin/mirnax-freeze" --keep --staidx staidx0.mul --statics statics0.mul STATICS/BENCH.SCP
    run window "$bin/window_run" staidx0.mul statics0.mul
  done
  grep -q "Process finished" terminal.log || { cat terminal.log; exit 1; }
  world=$(stat -c %s STATICS/BENCH.SCP)
  awk -v s="$scale" -v w="$world" -v b="$(median <baseline.times)" -v t="$(median <terminal.times)" \
    -v g="$(median <window.times)" -v tm="$(median <terminal.rss)" -v gm="$(median <window.rss)" \
    -v bc="$(median <baseline.cpu)" -v tc="$(median <terminal.cpu)" -v gc="$(median <window.cpu)" -v st="$start" 'BEGIN {
    printf "%-6s %9.1f | %9.3f %9.3f %7.2f | %9.3f %7.2f %8.2f %9.2f | %8.2fx %6.2fx | %8.2fx %8.2fx\n", s "x", w / 1e6, b, t,
           t / b, g, g / t, g / b, (g - st) / t, tm * 1024 / w, gm * 1024 / w, tc / bc, gc / tc
  }'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "targets: term at most 1.2 x base; win at most 1.2 x term; term mem at most 0.25 x, win mem at most 1.5 x the world file"
echo "(cpu: processor time, user and system, of the terminal over the baseline's and of the window over the terminal's;"
echo " on a loaded machine it moves less than the wall times)"
