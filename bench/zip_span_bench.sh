#!/usr/bin/env bash
# The spanning benchmark: WriteSpan of a 1 GB archive onto numbered volume files and ReadSpan of
# those volumes back into one archive, each against a plain `cp` of the same bytes in the same run
# (targets: WriteSpan at most 2 x, ReadSpan at most 1.2 x its time). A join that replaces an
# existing archive forces the new one to disk before it takes the name, so it is measured apart,
# against `cp` over an existing copy followed by `sync` of the copy. Medians of RUNS runs
# (default 3); SIZE_MB changes the archive's size, VOLUME_MB the volume size (default 100).
# Never run by ctest.
# Usage: bench/zip_span_bench.sh [BUILD_DIR]  (default: build; its bin/ must hold zip_bench_tool
# and measure).
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$(cd "${1:-build}/bin" && pwd)"
runs="${RUNS:-3}"
mb="${SIZE_MB:-1024}"
volume_mb="${VOLUME_MB:-100}"
for tool in zip_bench_tool measure; do
  [ -e "$bin/$tool" ] || { echo "zip_span_bench: $bin/$tool is missing; build the project first" >&2; exit 2; }
done

tmp="$(mktemp -d "${TMPDIR:-/tmp}/zip_span_bench.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
# A stored archive of a few large members of random bytes: the work is all copying.
python3 - "$mb" <<'PY'
import os, sys, zipfile
total = int(sys.argv[1]) << 20
with zipfile.ZipFile("big.zip", "w", zipfile.ZIP_STORED) as z:
    n = 0
    while total > 0:
        size = min(total, 64 << 20)
        z.writestr("part%03d.bin" % n, os.urandom(size))
        total -= size
        n += 1
PY

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
time_of() { awk '{ print $1 }' "$1"; }
: >cp.t; : >span.t; : >join.t; : >cpsync.t; : >rejoin.t
for i in $(seq "$runs"); do
  rm -rf vol out copy.zip && mkdir vol out
  # Each step starts with nothing of the step before still waiting to be written back.
  sync; "$bin/measure" r cp big.zip copy.zip; time_of r >>cp.t
  sync; "$bin/measure" r "$bin/zip_bench_tool" span big.zip vol/A.zip $((volume_mb << 20)); time_of r >>span.t
  last="$(ls vol | sort | tail -n 1)"
  sync; "$bin/measure" r "$bin/zip_bench_tool" join "vol/$last" out/joined.zip; time_of r >>join.t
  cmp -s big.zip out/joined.zip || { echo "zip_span_bench: the joined archive differs from the source" >&2; exit 1; }
  # Both replace a file of 1 GB left by the steps above: cp truncates it, the join erases it.
  sync; "$bin/measure" r sh -c "cp big.zip copy.zip && sync copy.zip"; time_of r >>cpsync.t
  sync; "$bin/measure" r "$bin/zip_bench_tool" join "vol/$last" out/joined.zip; time_of r >>rejoin.t
  cmp -s big.zip out/joined.zip || { echo "zip_span_bench: the archive joined over the first differs" >&2; exit 1; }
done
cp_t="$(median <cp.t)"; span_t="$(median <span.t)"; join_t="$(median <join.t)"
cpsync_t="$(median <cpsync.t)"; rejoin_t="$(median <rejoin.t)"
echo "archive: ${mb} MB in $(ls vol | wc -l) volumes of ${volume_mb} MB, median of $runs runs"
awk -v c="$cp_t" -v s="$span_t" -v j="$join_t" -v cs="$cpsync_t" -v r="$rejoin_t" 'BEGIN {
  printf "cp %.3f s, WriteSpan %.3f s (%.2f x cp, target <= 2), ReadSpan %.3f s (%.2f x cp, target <= 1.2)\n", c, s, s / c, j, j / c
  printf "cp + sync %.3f s, ReadSpan over an existing archive %.3f s (%.2f x cp + sync)\n", cs, r, r / cs
}'
