#!/usr/bin/env bash
# Fuzzes every reader with libFuzzer (clang, AddressSanitizer + UndefinedBehaviorSanitizer):
#   scripts/fuzz.sh [SECONDS] [TARGET ...]
# SECONDS per target (default 120); targets by name (canvas_png, bmp, ...; default all of
# fuzz/*_fuzzer.cpp). Each target starts from its checked-in seeds (fuzz/corpus/NAME) and a
# working corpus in build/fuzz/corpus/NAME that grows from run to run; a crash, a leak, a
# sanitizer report or an input over the time limit (10 s) is saved as build/fuzz/crashes/NAME-*
# and makes the command exit non-zero. Separate from scripts/test.sh. The limit is wall time: on
# a machine busy with other work (or under nice) raise it with DOTWRIGHT_FUZZ_TIMEOUT=SECONDS,
# or a starved but ordinary input is reported as a hang.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
shift || true
jobs=${DOTWRIGHT_FUZZ_JOBS:-2}
timeout=${DOTWRIGHT_FUZZ_TIMEOUT:-10}

tree=build/fuzz
if [[ ! -f $tree/CMakeCache.txt ]]; then
  CC=clang CXX=clang++ cmake -S . -B $tree -DDOTWRIGHT_FUZZ=ON -DDOTWRIGHT_TESTS=OFF -DDOTWRIGHT_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build $tree --target fuzzers -j"$jobs"

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for src in fuzz/*_fuzzer.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name%_fuzzer}")
  done
fi

# The readers take their input through files: a memory-backed folder keeps that (and the
# writers' flushes to the disk) cheap.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
mkdir -p $tree/crashes
failed=()
for name in "${targets[@]}"; do
  mkdir -p "$tree/corpus/$name"
  log=$tree/$name.log
  echo "== $name: $seconds s"
  if "$tree/bin/${name}_fuzzer" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=3072 -print_final_stats=1 \
       -artifact_prefix="$tree/crashes/$name-" "$tree/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" | tail -2 || true
  else
    failed+=("$name")
    echo "   FAILED: see $log and $tree/crashes/$name-*"
    grep -E 'ERROR|runtime error|check failed|deadly signal|timeout' "$log" | head -5 || true
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "no faults found in: ${targets[*]}"
