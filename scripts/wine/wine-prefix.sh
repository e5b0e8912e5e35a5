#!/usr/bin/env bash
# Wine helpers shared by the test session scripts and scripts/run.sh.
#
# Source this file and call:
#   dw_wine_prefix_configure PREFIX   make PREFIX a configured Wine prefix for Dotwright (once;
#                                     concurrent callers wait for each other; a half-made prefix
#                                     is thrown away and redone)
#   dw_wine_localize_user_dirs PREFIX turn the user folders that point into $HOME into real folders
#   dw_wineserver_stop PREFIX         kill that prefix's wineserver (and its programs), wait for it
#   dw_xvfb_start DIR                 start a private Xvfb; sets DW_XVFB_PID and DW_XVFB_DISPLAY
#   dw_xvfb_stop PID                  stop that Xvfb (only if PID really is an Xvfb)
# Run directly, `wine-prefix.sh PREFIX` configures PREFIX.
#
# Everything Wine-related runs with WINEDEBUG=-all and an explicit WINEPREFIX, so Wine never
# quietly creates or touches ~/.wine.

# Marker written last: its presence means the prefix was configured completely.
DW_PREFIX_STAMP=.dotwright-prefix-ok

# Wine binaries: wine64 from PATH when there is one (Debian keeps it in /usr/lib/wine).
DW_WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
DW_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# Settings for unattended runs: no window manager needed (Wine draws frames itself), a crash
# exits instead of waiting on a dialog, Japanese UI font, no menu entries written into $HOME.
dw_wine_registry_settings() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
}

# wineboot links Desktop, Documents, Pictures, ... to $HOME. Replace the links by real folders
# so the program's user data (under Pictures) stays inside the prefix. Removing a link never
# touches what it points to. Safe to call again at any time.
dw_wine_localize_user_dirs() (
  set -euo pipefail
  local prefix=$1 home name
  for home in "$prefix"/drive_c/users/*/; do
    for name in Desktop Documents Downloads Music Pictures Videos; do
      if [[ -L $home$name ]]; then
        rm -f -- "$home$name"
        mkdir -p -- "$home$name"
      fi
    done
  done
)

# Kill the wineserver of PREFIX (this ends every Wine process of that prefix, nothing else)
# and wait until it is gone. Quiet and successful when none is running.
dw_wineserver_stop() {
  local prefix=$1
  [[ -d $prefix ]] || return 0
  WINEPREFIX=$prefix WINEDEBUG=-all "$DW_WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix WINEDEBUG=-all timeout 30 "$DW_WINESERVER" -w >/dev/null 2>&1 || true
}

# Configure a new prefix. Runs in a subshell so its options and exports stay local; call it
# as a plain command (not inside `if` or `||`, where bash would ignore errors inside).
dw_wine_prefix_configure() (
  set -euo pipefail
  local prefix=${1:?prefix path required}
  prefix=$(realpath -m -- "$prefix")
  local lock=$prefix.lock log=$prefix.setup.log
  mkdir -p -- "$(dirname -- "$prefix")"

  # One configurer per prefix; others wait here and then find the stamp.
  exec {lockfd}>>"$lock"
  flock -w 900 "$lockfd" || { echo "wine-prefix: timed out waiting for $lock" >&2; exit 1; }
  [[ -e $prefix/$DW_PREFIX_STAMP ]] && exit 0

  # Run a Wine command on this prefix, without the lock descriptor (no Wine process keeps it).
  # No Mono/Gecko downloads, and no winemenubuilder (it writes menu folders into $HOME) until
  # the registry below disables it for good.
  in_prefix() {
    WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
      "$@" {lockfd}>&-
  }

  # A prefix without the stamp is a leftover of an interrupted run: start over.
  if [[ -e $prefix ]]; then
    dw_wineserver_stop "$prefix"
    rm -rf -- "$prefix"
  fi

  echo "wine-prefix: creating $prefix (takes about 15 s)" >&2
  : >"$log"
  # wineboot chats on stderr even with WINEDEBUG=-all; keep that in the log.
  if ! in_prefix "$DW_WINE64" wineboot -i </dev/null >>"$log" 2>&1; then
    echo "wine-prefix: wineboot failed; see $log" >&2
    exit 1
  fi
  in_prefix "$DW_WINESERVER" -w

  local reg=$prefix/drive_c/dotwright-prefix.reg
  dw_wine_registry_settings >"$reg"
  if ! in_prefix "$DW_WINE64" reg import 'C:\dotwright-prefix.reg' </dev/null >>"$log" 2>&1; then
    echo "wine-prefix: importing the registry settings failed; see $log" >&2
    exit 1
  fi
  in_prefix "$DW_WINESERVER" -w
  rm -f -- "$reg"

  # Only Marlett (caption-button glyphs); more Wine fonts would shadow the Japanese fallback.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  [[ -r $marlett ]] || { echo "wine-prefix: $marlett missing (package fonts-wine)" >&2; exit 1; }
  cp -- "$marlett" "$prefix/drive_c/windows/Fonts/"

  dw_wine_localize_user_dirs "$prefix"

  printf '%s configured %s\n' "$(in_prefix "$DW_WINE64" --version 2>/dev/null || echo wine)" \
    "$(date -u +%FT%TZ)" >"$prefix/$DW_PREFIX_STAMP"
)

# Start a private Xvfb on a free display (Xvfb picks it and writes the number to a file
# descriptor). Sets DW_XVFB_PID and DW_XVFB_DISPLAY (":N"); writes DIR/xvfb.pid first so a
# caller interrupted half-way can still stop it; Xvfb's own messages go to DIR/xvfb.log.
# shellcheck disable=SC2034  # DW_XVFB_* are results for the caller
dw_xvfb_start() {
  local dir=$1 num="" i
  DW_XVFB_PID="" DW_XVFB_DISPLAY=""
  mkdir -p -- "$dir" || return 1
  : >"$dir/xvfb.display" || return 1
  # Its own stdin/stdout/stderr, so it never holds a pipe of whoever started us (ctest waits
  # for those to close).
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$dir/xvfb.display" </dev/null >"$dir/xvfb.log" 2>&1 &
  DW_XVFB_PID=$!
  echo "$DW_XVFB_PID" >"$dir/xvfb.pid"
  for ((i = 0; i < 200; i++)); do
    # `read` succeeds only once the whole line (number + newline) is there.
    if IFS= read -r num <"$dir/xvfb.display" && [[ $num =~ ^[0-9]+$ ]]; then
      DW_XVFB_DISPLAY=:$num
      rm -f -- "$dir/xvfb.display"
      return 0
    fi
    kill -0 "$DW_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "xvfb: no display came up:" >&2
  sed 's/^/  /' "$dir/xvfb.log" >&2 || true
  dw_xvfb_stop "$DW_XVFB_PID"
  rm -f -- "$dir/xvfb.display"
  return 1
}

# Stop the Xvfb with this process id, and wait for it to go. Does nothing when the id is empty,
# gone, or now belongs to some other program.
dw_xvfb_stop() {
  local pid=${1:-} i
  [[ $pid =~ ^[0-9]+$ ]] || return 0
  [[ -r /proc/$pid/cmdline ]] || return 0
  tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q '^[^ ]*Xvfb .*-displayfd' || return 0
  kill "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 100; i++)); do
    dw_pid_running "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# True while PID is a live process (a zombie waiting for its parent counts as gone).
dw_pid_running() {
  local state
  [[ ${1:-} =~ ^[0-9]+$ ]] || return 1
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ -n $state && $state != Z* ]]
}

# Executed rather than sourced: configure the prefix given as the argument.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  set -euo pipefail
  [[ $# -eq 1 ]] || { echo "usage: $0 PREFIX" >&2; exit 2; }
  dw_wine_prefix_configure "$1"
fi
