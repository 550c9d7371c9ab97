#!/usr/bin/env bash
# The unfreeze benchmark. On a statics pair of RECORDS records (default 3,000,000) it takes areas
# of a quarter, a half and the whole of the map out to a world file (`mirnax-freeze --unfreeze`),
# then freezes that world file back into the unfrozen pair (`mirnax-freeze --keep`): a freeze of
# exactly as many items into a pair of the same size. RUNS times each (default 3), medians of wall
# time and peak memory. Target: an unfreeze costs at most what the freeze of its items costs.
# Each freeze back must give the records of the pair before again (checked with --check and sizes).
# Usage: bench/unfreeze_bench.sh [BUILD_DIR]  (default: build, configured with the benchmarks on
# and built first; a BUILD_DIR given must already hold in bin/ the tools below).
set -euo pipefail
cd "$(dirname "$0")/.."
tools="mirnax-freeze make_bench_data measure"
if [ -z "${1:-}" ]; then
  cmake --preset default -DMIRNAX_BENCH=ON >/dev/null
  cmake --build --preset default --target $tools
fi
bin="$(cd "${1:-build}/bin" && pwd)"
records="${RECORDS:-3000000}"
runs="${RUNS:-3}"
for tool in $tools; do
  [ -x "$bin/$tool" ] || { echo "unfreeze_bench: $bin/$tool is missing; build the project first" >&2; exit 2; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
"$bin/make_bench_data" . 1 "$records" >/dev/null
mkdir pristine
mv staidx0.mul statics0.mul pristine/
pair=(--staidx staidx0.mul --statics statics0.mul)

# measure NAME COMMAND...: appends the run's wall time and peak memory to NAME.times and NAME.rss.
measure() {
  local name="$1"
  shift
  "$bin/measure" result "$@" >"$name.log" 2>"$name.err" || {
    cat "$name.log" "$name.err"
    echo "unfreeze_bench: $name failed" >&2
    exit 1
  }
  awk '{ print $1 }' result >>"$name.times"
  awk '{ print $2 }' result >>"$name.rss"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-10s %10s | %9s %9s %7s | %9s %9s\n" area statics "unfrz s" "freeze s" "x freeze" "unfrz MB" "freeze MB"
for area in 0,0,1535,4095 0,0,3071,4095 0,0,6143,4095; do
  rm -f ./*.times ./*.rss
  for i in $(seq "$runs"); do
    cp pristine/staidx0.mul pristine/statics0.mul .
    rm -f AREA.SCP staidx0.mul.bak statics0.mul.bak staidx0.mul.bak.freeze staidx0.mul.frozen*
    measure unfreeze "$bin/mirnax-freeze" --unfreeze --no-backup --area "$area" --out AREA.SCP "${pair[@]}"
    measure freeze "$bin/mirnax-freeze" --keep --no-backup "${pair[@]}" AREA.SCP
    [ "$(stat -c %s statics0.mul)" = "$(stat -c %s pristine/statics0.mul)" ] || {
      echo "unfreeze_bench: the freeze back gave another data size" >&2
      exit 1
    }
    "$bin/mirnax-freeze" --check "${pair[@]}" >/dev/null
  done
  taken=$(grep -o '^[0-9]* statics left' unfreeze.log | cut -d' ' -f1)
  awk -v a="$area" -v n="$taken" -v u="$(median <unfreeze.times)" -v f="$(median <freeze.times)" \
    -v um="$(median <unfreeze.rss)" -v fm="$(median <freeze.rss)" 'BEGIN {
    printf "%-10s %10d | %9.3f %9.3f %7.2f | %9.1f %9.1f\n", a, n, u, f, u / f, um / 1024, fm / 1024
  }'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "target: unfreeze at most 1.0 x the freeze of the same items"
