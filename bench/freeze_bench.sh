#!/usr/bin/env bash
# The freeze benchmark. Writes a world of 2,000,000 items and a statics pair of 3,000,000 records
# into a temporary folder, then prints, each against a baseline measured in the same run:
#   - the whole `mirnax-freeze --keep` run against reading the world file with cat and copying
#     both statics files with cp (target: at most 4 times), and its peak memory against the world
#     file's size (target: at most 3 times);
#   - the freeze alone against cp of the statics pair (target: at most 0.5 s), and the reader's
#     throughput against cat's (core_bench).
# Usage: bench/freeze_bench.sh [BUILD_DIR]  (default: build, configured with the benchmarks on and
# built first; a BUILD_DIR given must already hold in bin/ mirnax-freeze,
# make_bench_data, measure and core_bench). ITEMS and RECORDS in the environment change the sizes
# for a quick check.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${1:-}" ]; then
  # Benchmarks are not part of a plain build: switch them on in build/ and build what this needs.
  cmake --preset default -DMIRNAX_BENCH=ON >/dev/null
  cmake --build --preset default --target mirnax-freeze make_bench_data measure core_bench
fi
bin="$(cd "${1:-build}/bin" && pwd)"
items="${ITEMS:-2000000}"
records="${RECORDS:-3000000}"
runs=3
for tool in mirnax-freeze make_bench_data measure core_bench; do
  [ -x "$bin/$tool" ] || { echo "freeze_bench: $bin/$tool is missing; build the project first" >&2; exit 2; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
"$bin/make_bench_data" . "$items" "$records"
world=STATICS/BENCH.SCP
mkdir pristine
cp staidx0.mul statics0.mul pristine/

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
field() { awk -v f="$2" '{ print $f }' "$1"; }

: >baseline.times
: >run.times
: >run.rss
for i in $(seq "$runs"); do
  rm -f copy_staidx0.mul copy_statics0.mul
  "$bin/measure" result sh -c "cat $world >/dev/null && cp staidx0.mul copy_staidx0.mul && cp statics0.mul copy_statics0.mul"
  field result 1 >>baseline.times

  cp pristine/staidx0.mul pristine/statics0.mul .
  "$bin/measure" result "$bin/mirnax-freeze" --keep --staidx staidx0.mul --statics statics0.mul "$world" >run.log
  grep -q "Process finished" run.log || { cat run.log; echo "freeze_bench: the run did not finish" >&2; exit 1; }
  field result 1 >>run.times
  field result 2 >>run.rss
done
expected=$(($(stat -c %s pristine/statics0.mul) + 7 * items))
[ "$(stat -c %s statics0.mul)" -eq "$expected" ] || { echo "freeze_bench: the frozen data file has the wrong size" >&2; exit 1; }

world_bytes=$(stat -c %s "$world")
baseline=$(median <baseline.times)
run=$(median <run.times)
rss_kib=$(sort -g run.rss | tail -n 1)
echo
awk -v b="$baseline" -v r="$run" -v rss="$rss_kib" -v w="$world_bytes" -v n="$runs" 'BEGIN {
  printf "world file: %.1f MB; medians of %d runs\n", w / 1e6, n
  printf "%-34s %8.3f s\n", "baseline: cat world, cp pair", b
  printf "%-34s %8.3f s  = %6.2f x baseline   (target: at most 4 x)\n", "mirnax-freeze --keep", r, r / b
  printf "%-34s %8.1f MB = %6.2f x world file (target: at most 3 x)\n", "peak memory of the run", rss * 1024 / 1e6,
         rss * 1024 / w
}'
echo
rm -f copy_staidx0.mul copy_statics0.mul
"$bin/core_bench" .
