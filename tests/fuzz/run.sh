#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer), checks that every input kept under tests/fuzz/crashes/ now passes,
# then fuzzes each target for a few seconds from a copy of its seed corpus. Exits non-zero when a
# target crashes; the input that did it is kept in build-fuzz/findings/.
# Usage: tests/fuzz/run.sh [SECONDS per target, default 5]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-5}"
targets=(fuzz_world_reader fuzz_inifile fuzz_statics)
targets+=(fuzz_zip_directory)
targets+=(fuzz_zip_join)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
bin=build-fuzz/bin
findings="$PWD/build-fuzz/findings"
mkdir -p "$findings"

# The statics target writes a statics pair per input; on a memory file system its flushes are free.
parent=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && parent=/dev/shm
work="$(mktemp -d "$parent/mirnax_fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

mkdir -p "$work/corpus/fuzz_world_reader" "$work/corpus/fuzz_inifile" "$work/corpus/fuzz_statics"
cp tests/fuzz/corpus/fuzz_world_reader/* "$work/corpus/fuzz_world_reader/"
cp tests/fuzz/corpus/fuzz_inifile/* "$work/corpus/fuzz_inifile/"
python3 tests/fuzz/statics_seeds.py "$work/corpus/fuzz_statics"
mkdir -p "$work/corpus/fuzz_zip_directory"
python3 tests/fuzz/zip_seeds.py "$work/corpus/fuzz_zip_directory"
mkdir -p "$work/corpus/fuzz_zip_join"
python3 tests/fuzz/zip_seeds.py "$work/corpus/fuzz_zip_join"

status=0
for target in "${targets[@]}"; do
  echo "== $target =="
  crashes=(tests/fuzz/crashes/"$target"/*)
  if [ -e "${crashes[0]}" ]; then
    "$bin/$target" "${crashes[@]}" >"$work/$target.replay.log" 2>&1 || {
      cat "$work/$target.replay.log"
      echo "$target: a kept crash input fails again"
      status=1
    }
  fi
  if ! "$bin/$target" -max_total_time="$seconds" -timeout=20 -len_control=0 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$work/corpus/$target" >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    echo "$target: crashed; the input is in $findings"
    status=1
    continue
  fi
  grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|DONE" "$work/$target.log" || true
done
exit "$status"
