#!/usr/bin/env bash
# The zip benchmark, against the standard zip and unzip tools in the same run, on a generated
# corpus (about 100 MB of text and binary files in a few thousand files; CORPUS_MB changes it):
#   - Add at level 9 against `zip -9 -r`, deflating on one thread (target: at most 1.1 x its time)
#     and on all cores (THREADS, default: the processors this runs on; target: at most 0.75 x its
#     time with two), the two archives byte-identical and at most 1.00 x the size of zip's;
#   - Extract against `unzip -o` (target: at most 1.2 x its time);
#   - List of a 100,000-member archive against `unzip -l` (target: at most 0.5 x its time).
# Medians of RUNS runs (default 3). Never run by ctest.
# Usage: bench/zip_bench.sh [BUILD_DIR]  (default: build; its bin/ must hold zip_bench_tool,
# measure and the two archive libraries).
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$(cd "${1:-build}/bin" && pwd)"
runs="${RUNS:-3}"
mb="${CORPUS_MB:-100}"
threads="${THREADS:-$(nproc)}"
for tool in zip_bench_tool measure libzipdll.so libunzdll.so; do
  [ -e "$bin/$tool" ] || { echo "zip_bench: $bin/$tool is missing; build the project first" >&2; exit 2; }
done
for tool in zip unzip python3; do
  command -v "$tool" >/dev/null || { echo "zip_bench: $tool is not installed" >&2; exit 2; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
"$bin/zip_bench_tool" corpus corpus "$mb"
python3 - <<'PY'
import zipfile
with zipfile.ZipFile("many.zip", "w") as z:
    for i in range(100000):
        z.writestr("folder%03d/member%06d.txt" % (i // 1000, i), b"")
PY

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
time_of() { awk '{ print $1 }' "$1"; }
: >zip.t; : >one.t; : >ours.t; : >unzip.t; : >extract.t; : >list_unzip.t; : >list_ours.t
for i in $(seq "$runs"); do
  rm -f ref.zip one.zip ours.zip
  "$bin/measure" r sh -c "zip -9 -r -q ref.zip corpus"; time_of r >>zip.t
  "$bin/measure" r "$bin/zip_bench_tool" add one.zip corpus 1; time_of r >>one.t
  "$bin/measure" r "$bin/zip_bench_tool" add ours.zip corpus "$threads"; time_of r >>ours.t
  cmp -s one.zip ours.zip || { echo "zip_bench: the archives made with 1 and $threads threads differ" >&2; exit 1; }
  rm -rf out1 out2; mkdir out1 out2
  "$bin/measure" r sh -c "unzip -o -q ours.zip -d out1"; time_of r >>unzip.t
  "$bin/measure" r "$bin/zip_bench_tool" extract ours.zip out2; time_of r >>extract.t
  "$bin/measure" r sh -c "unzip -l many.zip >/dev/null"; time_of r >>list_unzip.t
  "$bin/measure" r sh -c "'$bin/zip_bench_tool' list many.zip >/dev/null"; time_of r >>list_ours.t
done
diff -r out1 out2 >/dev/null || { echo "zip_bench: the two extractions differ" >&2; exit 1; }
diff -r corpus out2/corpus >/dev/null || { echo "zip_bench: the extraction differs from the corpus" >&2; exit 1; }

awk -v z="$(median <zip.t)" -v o1="$(median <one.t)" -v o="$(median <ours.t)" -v t="$threads" \
    -v zs="$(stat -c %s ref.zip)" -v os="$(stat -c %s ours.zip)" \
    -v u="$(median <unzip.t)" -v e="$(median <extract.t)" \
    -v lu="$(median <list_unzip.t)" -v lo="$(median <list_ours.t)" -v n="$runs" 'BEGIN {
  printf "medians of %d runs\n", n
  printf "%-30s %8.3f s\n", "zip -9 -r", z
  printf "%-30s %8.3f s  = %5.2f x zip     (target: at most 1.1 x)\n", "Add, level 9, 1 thread", o1, o1 / z
  printf "%-30s %8.3f s  = %5.2f x zip     (target: at most 0.75 x with 2)\n", "Add, level 9, " t " threads", o, o / z
  printf "%-30s %8s       byte-identical\n", "archives of 1 and " t " threads", ""
  printf "%-30s %8.1f MB = %5.3f x zip     (target: at most 1.00 x)\n", "archive size", os / 1e6, os / zs
  printf "%-30s %8.3f s\n", "unzip -o", u
  printf "%-30s %8.3f s  = %5.2f x unzip   (target: at most 1.2 x)\n", "Extract", e, e / u
  printf "%-30s %8.3f s\n", "unzip -l, 100,000 members", lu
  printf "%-30s %8.3f s  = %5.2f x unzip -l (target: at most 0.5 x)\n", "List, 100,000 members", lo, lo / lu
}'
