#!/usr/bin/env bash
# A benchmark of the Windows tree, run under Wine: the same code as the native benchmark, built
# by MinGW and run on Wine's memory manager and threads (what the Windows program's core costs,
# where the native numbers say what the Linux build's costs). Separate from scripts/test.sh:
# it cross-builds Google Benchmark once (about a minute) and the run takes a while.
#
#   scripts/bench-windows.sh [NAME [BENCHMARK_ARGS...]]
#       NAME: a bench/*_benchmark.cpp without the suffix (default reduce)
#   scripts/bench-windows.sh reduce --benchmark_filter='BM_Recompose(Fresh)?/2/' --benchmark_repetitions=3
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
name=${1:-reduce}
shift || true
[[ -f bench/${name}_benchmark.cpp ]] || { echo "bench-windows: no benchmark bench/${name}_benchmark.cpp" >&2; exit 2; }
"$ROOT/scripts/setup.sh" --windows-benchmarks
dir=build/windows
mkdir -p build
args=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake")
# The native tree's generator of the default content, where one is built.
host_tool="$ROOT/build/native/host-tools/make_resources"
[[ -x $host_tool ]] && args+=(-DDOTWRIGHT_HOST_MAKE_RESOURCES="$host_tool")
cmake -S "$ROOT" -B "$dir" -DDOTWRIGHT_WERROR=ON "${args[@]}" > "$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" --target "${name}_benchmark"
# A Wine session of its own for this run (prefix, virtual display), stopped afterwards, unless
# the tests' session is alive.
exec "$ROOT/scripts/wine/wine-run.sh" "$ROOT/$dir/wine-session" "$ROOT/$dir/bin/${name}_benchmark.exe" "$@"
