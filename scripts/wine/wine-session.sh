#!/usr/bin/env bash
# A Wine test session: a throwaway prefix, a private virtual display and a persistent
# wineserver (each program start then costs ~0.1 s instead of ~1.6 s).
#
#   wine-session.sh start SESSION_DIR   prints one line; writes SESSION_DIR/session.env
#   wine-session.sh stop  SESSION_DIR   ends everything start began; safe to repeat
#
# SESSION_DIR/session.env (sh syntax) sets WINEPREFIX, DISPLAY and XVFB_PID; wine-run.sh uses it.
# The configured template prefix is made once at SESSION_DIR/../wine-template and copied for
# every session, so each session starts from the same clean state.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-prefix.sh
. "$here/wine-prefix.sh"

usage() { echo "usage: $0 start|stop SESSION_DIR" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
action=$1
case $action in
  start) mkdir -p -- "$2" ;;
  stop) [[ -d $2 ]] || exit 0 ;; # nothing was ever started there
  *) usage ;;
esac
session=$(cd -- "$2" && pwd)
envfile=$session/session.env

# Quote a value for sh.
shq() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

stop_session() {
  local prefix=$session/prefix xvfb_pid=""
  if [[ -r $envfile ]]; then
    # Read our own file without letting it change this shell's environment.
    # shellcheck source=/dev/null
    prefix=$(. "$envfile" && echo "$WINEPREFIX")
    # shellcheck source=/dev/null disable=SC2153
    xvfb_pid=$(. "$envfile" && echo "$XVFB_PID")
  elif [[ -r $session/xvfb.pid ]]; then
    # start got as far as launching Xvfb.
    xvfb_pid=$(<"$session/xvfb.pid")
  fi
  # Targets only this prefix's wineserver and the Wine programs attached to it.
  dw_wineserver_stop "$prefix"
  dw_xvfb_stop "$xvfb_pid"
  rm -f -- "$envfile" "$session/xvfb.pid"
}

# Wait until explorer.exe has its windows on our display: the desktop exists then, so programs
# started later do not launch a second explorer. Without xdotool, a fixed pause.
wait_for_desktop() {
  local i
  if ! command -v xdotool >/dev/null; then
    sleep 3
    return 0
  fi
  # Up to a minute: on a busy two-core machine the first desktop can take well over 15 s.
  for ((i = 0; i < 1200; i++)); do
    xdotool search --class '^explorer\.exe$' >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "wine-session: the Wine desktop (explorer.exe) did not come up" >&2
  return 1
}

on_start_exit() {
  local status=$?
  ((status == 0)) || stop_session
  exit "$status"
}

start_session() {
  local t0=$SECONDS
  # Leftovers of a session that was never stopped.
  stop_session

  # Clean up whatever was started if anything below fails.
  trap on_start_exit EXIT

  local template
  template=$(dirname -- "$session")/wine-template
  dw_wine_prefix_configure "$template"

  local prefix=$session/prefix
  rm -rf -- "$prefix"
  cp -a -- "$template" "$prefix"

  dw_xvfb_start "$session"

  export WINEPREFIX=$prefix WINEDEBUG=-all
  # Persistent server for this prefix; it detaches at once. No inherited pipes (see dw_xvfb_start).
  if ! "$DW_WINESERVER" -p </dev/null >/dev/null 2>"$session/wineserver.log"; then
    echo "wine-session: could not start wineserver:" >&2
    sed 's/^/  /' "$session/wineserver.log" >&2
    exit 1
  fi
  rm -f -- "$session/wineserver.log"

  # Start Wine's own background processes (services, the desktop's explorer.exe) now, with no
  # pipes attached. Started on demand by the first test program they would inherit its stderr
  # and keep it open for the whole session, and ctest waits for a test's pipes to close.
  export DISPLAY=$DW_XVFB_DISPLAY
  "$DW_WINE64" explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  wait_for_desktop

  {
    echo "WINEPREFIX=$(shq "$prefix")"
    echo "DISPLAY=$(shq "$DW_XVFB_DISPLAY")"
    echo "XVFB_PID=$DW_XVFB_PID"
    echo "export WINEPREFIX DISPLAY XVFB_PID"
  } >"$envfile.tmp"
  mv -f -- "$envfile.tmp" "$envfile"
  rm -f -- "$session/xvfb.pid"
  trap - EXIT
  echo "wine session up: DISPLAY=$DW_XVFB_DISPLAY WINEPREFIX=$prefix ($((SECONDS - t0)) s)"
}

if [[ $action == start ]]; then
  start_session
else
  stop_session
fi
