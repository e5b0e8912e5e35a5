# Shared by the end-to-end scripts (sourced, not a test itself): the session's Wine prefix and
# display, the user data folder, starting and closing the program, and settings edits.
# Needs: session, bin and name (the test's name for messages) set by the caller.
source "$session/session.env"
export WINEPREFIX DISPLAY WINEDEBUG=-all

fail() { echo "$name: $*" >&2; exit 1; }
user=$(whoami)
data="$WINEPREFIX/drive_c/users/$user/Pictures/Dotwright"
settings="$data/setting/Dotwright.ini"
shots="$(dirname "$session")/e2e-screenshots"
mkdir -p "$shots"
program=
trap '[[ -n $program ]] && kill "$program" 2>/dev/null || true' EXIT

drive() { wine "$bin/dwdrive.exe" "$@" | tr -d '\r'; }
title() { drive title; }
# A PNG the program wrote, read by pngcheck: a reader that shares no code with ours or Pillow's.
check_png() {
  command -v pngcheck >/dev/null || return 0
  local out
  out=$(pngcheck "$1" 2>&1) || fail "pngcheck refuses $1: $out"
}
# A Windows path for a file of this machine.
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# The view window's client area in screen pixels: "X Y W H" (the panel column stands beside it).
view_rect() {
  local cx0 cy0 vx vy vw vh
  read -r cx0 cy0 _ _ <<<"$(drive client-rect)"
  read -r vx vy vw vh _ <<<"$(drive child-rect "View Window Class")"
  echo "$((cx0 + vx)) $((cy0 + vy)) $vw $vh"
}
# Starts the program (extra arguments go on its command line), waits for its window and gives
# it the keyboard; sets window, and cx, cy: the view's centre relative to the X window.
start() {
  wine "$bin/Dotwright.exe" "$@" &
  program=$!
  drive wait 30000 >/dev/null || fail "no main window"
  window=$(xdotool search --sync --name '^Dotwright' | head -1)
  [[ -n $window ]] || fail "no X window for the main window"
  focus
  sleep 0.7
  eval "$(xdotool getwindowgeometry --shell "$window")"
  read -r view_x view_y view_w view_h <<<"$(view_rect)"
  cx=$((view_x - X + view_w / 2)) cy=$((view_y - Y + view_h / 2))
}
# Gives the main window the keyboard again (after a dialog: without a window manager nothing
# hands it back to the owner).
focus() {
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 0.3
}
# Waits up to 20 s for the program to end by itself with code 0.
wait_exit() {
  for _ in $(seq 1 200); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && { kill "$program"; fail "still running 20 s after the close"; }
  wait "$program" || fail "exit code $? after the close"
  program=
}
stop() {
  drive close || fail "could not post WM_CLOSE"
  wait_exit
}
# A horizontal mouse stroke through the client centre, dy pixels below it.
stroke() {
  local dy=${1:-0}
  xdotool mousemove --window "$window" $((cx - 40)) $((cy + dy)) mousedown 1
  for dx in $(seq -35 5 40); do xdotool mousemove --window "$window" $((cx + dx)) $((cy + dy)); sleep 0.02; done
  xdotool mouseup 1
  sleep 0.5
}
# Sets KEY=VALUE pairs in the settings file (which a first start writes).
set_settings() {
  [[ -f $settings ]] || { start; stop; }
  /usr/bin/python3 - "$settings" "$@" <<'PY'
import sys
path, pairs = sys.argv[1], sys.argv[2:]
wanted = dict(p.split('=', 1) for p in pairs)
lines = open(path, 'rb').read().decode('utf-8-sig').split('\r\n')
out = []
for line in lines:
    key = line.split('=', 1)[0]
    if '=' in line and key in wanted:
        line = key + '=' + wanted.pop(key)
    out.append(line)
out[-1:-1] = [k + '=' + v for k, v in wanted.items()]
open(path, 'wb').write(('\ufeff' + '\r\n'.join(out)).encode('utf-8'))
PY
}
