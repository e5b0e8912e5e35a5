#!/usr/bin/env bash
# Builds Dotwright for Windows and runs it under Wine.
#
#   scripts/run.sh [CANVAS.png]
#
# With a usable X display the program runs in the foreground and this script exits with its
# exit code. Without one it runs on a private virtual display: once the main window is up, a
# screenshot is saved to build/dotwright-screenshot.png and the program is closed again.
#
# Wine keeps its own prefix in ${XDG_DATA_HOME:-~/.local/share}/dotwright/wine, so the user
# data folder and the working canvas survive between runs.
#
# Environment: DOTWRIGHT_SKIP_BUILD=1 skips set-up and build; DOTWRIGHT_EXE_DIR runs the .exe
# files from another folder (default build/windows/bin).
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine/wine-prefix.sh
. "$root/scripts/wine/wine-prefix.sh"

if [[ $# -gt 1 || ${1:-} == -h || ${1:-} == --help ]]; then
  echo "usage: $0 [CANVAS.png]" >&2
  exit 2
fi
# Resolve the canvas against the caller's folder before changing to the repository.
canvas=""
if [[ $# -eq 1 ]]; then
  canvas=$(realpath -m -- "$1")
fi
cd -- "$root"

if [[ ${DOTWRIGHT_SKIP_BUILD:-0} != 1 ]]; then
  # Packages and cross-built libraries (a no-op when everything is there).
  if [[ -f scripts/setup.sh ]]; then
    bash scripts/setup.sh
  fi
  cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
    -DCMAKE_BUILD_TYPE=Release
  cmake --build build/windows --target Dotwright dwdrive -j"$(nproc)"
fi

bin=${DOTWRIGHT_EXE_DIR:-$root/build/windows/bin}
exe=$bin/Dotwright.exe
drive=$bin/dwdrive.exe
for f in "$exe" "$drive"; do
  [[ -f $f ]] || { echo "run.sh: $f not found (build first)" >&2; exit 1; }
done

# The persistent prefix: configured on first use only.
prefix=${XDG_DATA_HOME:-$HOME/.local/share}/dotwright/wine
dw_wine_prefix_configure "$prefix"
# A Wine upgrade re-links the user folders to $HOME; undo that before every run.
dw_wine_localize_user_dirs "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all

args=()
if [[ -n $canvas ]]; then
  args+=("$("$DW_WINE64" winepath -w "$canvas" | tr -d '\r')")
fi

display_usable() {
  [[ -n ${DISPLAY:-} ]] || return 1
  if command -v xdpyinfo >/dev/null; then
    timeout 10 xdpyinfo >/dev/null 2>&1
  elif command -v xdotool >/dev/null; then
    timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1
  else
    return 0
  fi
}

if display_usable; then
  exec "$DW_WINE64" "$exe" "${args[@]}"
fi

# --- No display: private Xvfb, screenshot, orderly close. ---
work=$(mktemp -d "${TMPDIR:-/tmp}/dotwright-run.XXXXXX")
prog_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  # Only reached with the program still running when something went wrong.
  if dw_pid_running "$prog_pid"; then
    echo "run.sh: stopping Dotwright" >&2
    dw_wineserver_stop "$prefix"
  fi
  dw_xvfb_stop "${DW_XVFB_PID:-}"
  rm -rf -- "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

dw_xvfb_start "$work"
export DISPLAY=$DW_XVFB_DISPLAY
echo "No display; running Dotwright on a virtual display ($DISPLAY)."

"$DW_WINE64" "$exe" "${args[@]}" &
prog_pid=$!

# Wait (30 s at most) for the main window, giving up early if the program exits first.
timeout 30 "$DW_WINE64" "$drive" wait 20000 &
waiter=$!
while dw_pid_running "$waiter"; do
  if ! dw_pid_running "$prog_pid"; then
    kill "$waiter" 2>/dev/null || true
    wait "$waiter" 2>/dev/null || true
    status=0
    wait "$prog_pid" || status=$?
    prog_pid=""
    echo "run.sh: Dotwright exited (code $status) before its window appeared" >&2
    exit 1
  fi
  sleep 0.1
done
if ! wait "$waiter"; then
  echo "run.sh: Dotwright's main window did not appear" >&2
  exit 1
fi

sleep 1 # let it paint
shot=$root/build/dotwright-screenshot.png
mkdir -p -- "$(dirname -- "$shot")"
import -window root "$shot"

# Close it the way a user would (WM_CLOSE), then wait for it to finish.
if ! "$DW_WINE64" "$drive" close; then
  echo "run.sh: could not find Dotwright's main window to close it" >&2
  exit 1
fi
for ((i = 0; i < 300; i++)); do
  dw_pid_running "$prog_pid" || break
  sleep 0.1
done
if dw_pid_running "$prog_pid"; then
  echo "run.sh: Dotwright did not exit within 30 s of being closed" >&2
  exit 1
fi
status=0
wait "$prog_pid" || status=$?
prog_pid=""
timeout 30 "$DW_WINESERVER" -w || true

echo "Dotwright exited with code $status."
echo "Screenshot: $shot"
exit "$status"
