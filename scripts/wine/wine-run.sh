#!/usr/bin/env bash
# Runs a Windows program under Wine; CMake's cross-compiling emulator for the Windows tree.
#
#   wine-run.sh SESSION_DIR PROGRAM [ARGS...]
#
# Inside a test session (SESSION_DIR/session.env from wine-session.sh, its Xvfb alive) the program
# uses that session's prefix, display and persistent wineserver. Without one (test discovery, a
# test run by hand) a private session is started for this one run and stopped afterwards.
# The program's stdout, stderr and exit code pass through unchanged; nothing else is printed
# unless setting up Wine fails.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-prefix.sh
. "$here/wine-prefix.sh"

if [[ $# -lt 2 ]]; then
  echo "usage: $0 SESSION_DIR PROGRAM [ARGS...]" >&2
  exit 2
fi
session=$1
shift
export WINEDEBUG=-all

# XVFB_PID from session.env, if that session is still alive.
live_session_xvfb() {
  # shellcheck source=/dev/null disable=SC2153
  [[ -r $session/session.env ]] && (. "$session/session.env" && echo "$XVFB_PID")
}

xvfb_pid=$(live_session_xvfb || true)
if dw_pid_running "$xvfb_pid"; then
  # shellcheck source=/dev/null
  . "$session/session.env"
  exec "$DW_WINE64" "$@"
fi

# No live session: a private one next to SESSION_DIR, so it shares the cached template prefix.
parent=$(dirname -- "$session")
mkdir -p -- "$parent"
private=$(mktemp -d "$parent/wine-run.XXXXXX")
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  "$here/wine-session.sh" stop "$private" >/dev/null 2>&1 || true
  rm -rf -- "$private"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if ! setup_log=$("$here/wine-session.sh" start "$private" 2>&1); then
  printf '%s\n' "$setup_log" >&2
  echo "wine-run: could not start a Wine session in $private" >&2
  exit 125
fi
# shellcheck source=/dev/null
. "$private/session.env"

# In the background so a signal reaches the traps (and the cleanup) at once; `<&0` keeps our
# stdin, which bash would otherwise replace with /dev/null for a background command.
"$DW_WINE64" "$@" <&0 &
status=0
wait "$!" || status=$?
exit "$status"
