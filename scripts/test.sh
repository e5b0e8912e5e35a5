#!/usr/bin/env bash
# Runs every test: sets the machine up, builds the native tree (plain and with ASan/UBSan) and
# the Windows tree, runs each tree's ctest (the Windows tests under Wine on a private virtual
# display) and prints a summary. Exits non-zero when anything fails.
#
#   scripts/test.sh            everything
#   scripts/test.sh --quick    the plain native tree only
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
JOBS=$(nproc)
quick=0
[[ ${1:-} == --quick ]] && quick=1

"$ROOT/scripts/setup.sh"

declare -a names=() passed=() failed=()
status=0

# configure_and_build DIR CMAKE_ARGS...
configure_and_build() {
  local dir=$1
  shift
  echo "test: building $dir"
  cmake -S "$ROOT" -B "$dir" -DDOTWRIGHT_WERROR=ON "$@" > "$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j"$JOBS"
}

# run_tree NAME DIR: runs ctest and records the counts from its closing line.
run_tree() {
  local name=$1 dir=$2 log
  log="$dir/ctest.log"
  echo "test: running the $name tests"
  local rc=0
  (cd "$dir" && ctest -j"$JOBS" --output-on-failure --timeout 300) 2>&1 | tee "$log" || rc=$?
  local line total failures
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [[ -z $line ]]; then
    total=0 failures=1
  else
    failures=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  fi
  [[ $rc -ne 0 && $failures -eq 0 ]] && failures=1
  names+=("$name") passed+=($((total - failures))) failed+=("$failures")
  [[ $failures -eq 0 ]] || status=1
}

mkdir -p build
configure_and_build build/native
run_tree native build/native
if [[ $quick -eq 0 ]]; then
  # -O1 with line tables: about half the compile time of -O2 -g, and the sanitizers' reports
  # still name files and lines.
  configure_and_build build/native-sanitize -DDOTWRIGHT_SANITIZE=ON -DDOTWRIGHT_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  run_tree "native (ASan/UBSan)" build/native-sanitize
  # The native tree's generator of the default content serves the cross build too.
  configure_and_build build/windows -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
    -DDOTWRIGHT_HOST_MAKE_RESOURCES="$ROOT/build/native/host-tools/make_resources"
  rm -f build/windows/e2e-warnings.txt
  run_tree "windows (Wine)" build/windows
fi

# What the end-to-end tests passed over but want seen (a retried one-off failure).
if [[ -s build/windows/e2e-warnings.txt ]]; then
  echo
  echo "Warnings from the end-to-end tests:"
  cat build/windows/e2e-warnings.txt
fi

echo
echo "Summary"
total_passed=0 total_failed=0
for i in "${!names[@]}"; do
  printf '  %-22s %4d passed, %d failed\n' "${names[$i]}" "${passed[$i]}" "${failed[$i]}"
  total_passed=$((total_passed + passed[i]))
  total_failed=$((total_failed + failed[i]))
done
echo "${total_passed} passed, ${total_failed} failed"
exit "$status"
