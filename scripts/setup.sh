#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing Dotwright:
#   1. installs the Debian packages the native and Windows builds need (only what is missing);
#   2. cross-builds the libraries Debian does not ship for MinGW (libpng, GoogleTest) into a
#      private prefix, .deps/x86_64-w64-mingw32, which cmake/toolchain-mingw64.cmake searches;
#   3. keeps .deps/ and build/ out of git.
# Every step is skipped when already done, so running it again costs about a second.
#
#   scripts/setup.sh                        the above
#   scripts/setup.sh --windows-benchmarks   also Google Benchmark for MinGW (from Debian's
#                                           source package), for the Windows tree's benchmarks
set -euo pipefail

# Debian packages. Add new ones here.
PACKAGES=(
  g++ cmake make
  libgtest-dev googletest libbenchmark-dev libmypaint-dev pkg-config
  libpng-dev zlib1g-dev
  dpkg-dev
  mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64
  xvfb xauth xdotool imagemagick
  fonts-ipafont-gothic fonts-wine
  python3 python3-pil pngcheck
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils
  pocl-opencl-icd ocl-icd-opencl-dev opencl-headers clinfo
  libvips-dev
  ccache
  ca-certificates debian-archive-keyring
)

# Bump a recipe number when the way that library is built changes: the next run rebuilds it.
LIBPNG_RECIPE=1
GTEST_RECIPE=1
BENCHMARK_RECIPE=1

windows_benchmarks=0
for arg in "$@"; do
  case $arg in
    --windows-benchmarks) windows_benchmarks=1 ;;
    *) printf 'setup: error: unknown argument: %s\n' "$arg" >&2; exit 2 ;;
  esac
done

TRIPLE=x86_64-w64-mingw32
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DEPS="$ROOT/.deps"
PREFIX="$DEPS/$TRIPLE"
TOOLCHAIN="$ROOT/cmake/toolchain-mingw64.cmake"
STAMPS="$PREFIX/.stamps"
LOGS="$DEPS/logs"
JOBS="$(nproc 2>/dev/null || echo 2)"

say() { printf 'setup: %s\n' "$*"; }
die() { printf 'setup: error: %s\n' "$*" >&2; exit 1; }

# Runs a command with its output going to a log; on failure shows the end of the log and stops.
logged() {
  local log="$1"; shift
  if ! "$@" >>"$log" 2>&1; then
    printf 'setup: error: command failed: %s\n' "$*" >&2
    printf 'setup: last lines of %s:\n' "$log" >&2
    tail -n 30 "$log" >&2 || true
    exit 1
  fi
}

if [[ $(id -u) -eq 0 ]]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  SUDO=()
fi

# ---------------------------------------------------------------------------------------------
# 1. Debian packages
# ---------------------------------------------------------------------------------------------
missing=()
for pkg in "${PACKAGES[@]}"; do
  status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 && ${#SUDO[@]} -eq 0 ]]; then
    die "missing packages (${missing[*]}) and no sudo to install them; install them as root"
  fi
  say "installing ${missing[*]} ..."
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q \
    || die "apt-get update failed"
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" \
    || die "apt-get install failed for: ${missing[*]}"
fi

# ---------------------------------------------------------------------------------------------
# 2. Cross-built libraries for the Windows tree
# ---------------------------------------------------------------------------------------------
[[ -f $TOOLCHAIN ]] || die "toolchain file not found: $TOOLCHAIN"

# A stamp holds the recipe number it was built with; a missing or different stamp means "build".
stamp_ok() { [[ -f $STAMPS/$1 && "$(cat "$STAMPS/$1")" == "$2" ]]; }
stamp_set() { mkdir -p "$STAMPS"; printf '%s\n' "$2" >"$STAMPS/$1"; }

# Common CMake arguments for a static, release-mode library in the private prefix. The emulator is
# cleared: nothing here runs the built programs, and the Wine wrapper may not be ready yet.
cross_cmake_args=(
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
  -DCMAKE_CROSSCOMPILING_EMULATOR=
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$PREFIX"
  -DBUILD_SHARED_LIBS=OFF
)

# Fetches and unpacks Debian's source package PACKAGE into DIR/tree (DIR emptied first),
# through a private apt configuration that only knows Debian's source index: the system's own
# sources, lists and caches are neither read nor touched.
fetch_debian_source() {
  local package=$1 dir=$2 log=$3
  local apt="$DEPS/src/apt"
  rm -rf "$apt" "$dir"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$dir"
  printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s bookworm main\n' \
    http://deb.debian.org/debian >"$apt/sources.list.d/debian-src.list"
  local aptopts=(
    -o Dir::Etc::sourcelist=/dev/null
    -o Dir::Etc::sourceparts="$apt/sources.list.d"
    -o Dir::State::Lists="$apt/lists"
    -o Dir::Cache="$apt/cache"
    -o Dir::Cache::archives="$apt/cache/archives"
    -o Dir::Cache::pkgcache=
    -o Dir::Cache::srcpkgcache=
    -o Acquire::Languages=none
  )
  # apt drops privileges to _apt for downloads; that user cannot write into the checkout.
  if [[ $(id -u) -eq 0 ]]; then
    aptopts+=(-o APT::Sandbox::User=root)
  fi

  say "  fetching Debian's $package source package ..."
  logged "$log" apt-get -q "${aptopts[@]}" update
  (cd "$dir" && logged "$log" apt-get -q "${aptopts[@]}" source --download-only "$package")

  local dsc
  dsc="$(find "$dir" -maxdepth 1 -name "${package}_*.dsc" | sort -V | tail -n 1)"
  [[ -n $dsc ]] || die "no $package .dsc was downloaded (see $log)"
  say "  unpacking $(basename "$dsc") ..."
  (cd "$dir" && logged "$log" dpkg-source -x "$(basename "$dsc")" tree)
  rm -rf "$apt"
}

# Configures, builds and installs the CMake project in SOURCE into the private prefix; PRODUCT
# is a library it must install, the arguments after it go to CMake.
cross_build() {
  local name=$1 source=$2 log=$3 product=$4
  shift 4
  local build="$DEPS/build/$name"
  rm -rf "$build"
  mkdir -p "$build"
  say "  compiling ..."
  logged "$log" cmake -S "$source" -B "$build" "${cross_cmake_args[@]}" "$@"
  logged "$log" cmake --build "$build" -j "$JOBS"
  logged "$log" cmake --install "$build"
  [[ -f $PREFIX/lib/$product ]] || die "$name installed no $product (see $log)"
  rm -rf "$build"
}

build_libpng() {
  local log="$LOGS/libpng.log"
  : >"$log"
  say "building libpng for MinGW ..."
  fetch_debian_source libpng1.6 "$DEPS/src/libpng" "$log"
  cross_build libpng "$DEPS/src/libpng/tree" "$log" libpng16.a \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -Dld-version-script=OFF \
    -DZLIB_LIBRARY="/usr/$TRIPLE/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$TRIPLE/include"
  stamp_set libpng "$LIBPNG_RECIPE"
}

build_gtest() {
  local log="$LOGS/googletest.log"
  : >"$log"
  say "building GoogleTest for MinGW ..."
  [[ -f /usr/src/googletest/CMakeLists.txt ]] || die "/usr/src/googletest is missing (package googletest)"
  cross_build googletest /usr/src/googletest "$log" libgtest.a \
    -Dgtest_force_shared_crt=ON -DINSTALL_GTEST=ON -DBUILD_GMOCK=OFF
  stamp_set googletest "$GTEST_RECIPE"
}

# Google Benchmark: Debian ships no MinGW build and no source under /usr/src. Its build cannot
# run test programs when cross-compiling, so it is told what they would find (std::regex and
# the steady clock exist in MinGW's library) and that there is no git version to read.
build_benchmark() {
  local log="$LOGS/benchmark.log"
  : >"$log"
  say "building Google Benchmark for MinGW ..."
  fetch_debian_source benchmark "$DEPS/src/benchmark" "$log"
  cross_build benchmark "$DEPS/src/benchmark/tree" "$log" libbenchmark.a \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
    -DGIT_VERSION=0.0.0 -DRUN_HAVE_STD_REGEX=0 -DRUN_HAVE_STEADY_CLOCK=0
  rm -rf "$DEPS/src/benchmark"
  stamp_set benchmark "$BENCHMARK_RECIPE"
}

mkdir -p "$PREFIX" "$LOGS" "$DEPS/src" "$DEPS/build"
stamp_ok libpng "$LIBPNG_RECIPE" || build_libpng
stamp_ok googletest "$GTEST_RECIPE" || build_gtest
if ((windows_benchmarks)); then
  stamp_ok benchmark "$BENCHMARK_RECIPE" || build_benchmark
fi

# ---------------------------------------------------------------------------------------------
# 3. Keep build products out of git
# ---------------------------------------------------------------------------------------------
gitignore="$ROOT/.gitignore"
touch "$gitignore"
for line in .deps/ build/; do
  if ! grep -qxF -- "$line" "$gitignore"; then
    # Make sure the file ends with a newline before appending.
    if [[ -s $gitignore && -n "$(tail -c 1 "$gitignore")" ]]; then
      printf '\n' >>"$gitignore"
    fi
    printf '%s\n' "$line" >>"$gitignore"
  fi
done

say "done (MinGW libraries in ${PREFIX#"$ROOT"/})"
