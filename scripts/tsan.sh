#!/usr/bin/env bash
# The threaded parts under ThreadSanitizer: the update thread, the preview workers, the parallel
# PNG and reduction code, and replacing the canvas while a stroke is being composed. Separate
# from scripts/test.sh because the instrumented build takes several minutes on two cores.
#
#   scripts/tsan.sh [GTEST_FILTER]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
"$ROOT/scripts/setup.sh"
filter=${1:-'*Thread*:*Parallel*:*Worker*:*Opening*:*Concurrent*:InputStep*:UpdateThread*'}
dir=build/native-tsan
cmake -S "$ROOT" -B "$dir" -DDOTWRIGHT_WERROR=ON -DDOTWRIGHT_TSAN=ON -DDOTWRIGHT_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" --target dotwright_core_tests
# halt_on_error: the first race fails the run with its report.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$dir/bin/dotwright_core_tests" --gtest_filter="$filter"
