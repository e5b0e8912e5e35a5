#!/usr/bin/env bash
# Drawing end to end under Wine: the program starts on a blank canvas, a mouse drag over the
# view paints it and the title gains " *", Ctrl+Z takes the stroke back, PageUp zooms in, and
# the orderly close writes the working canvas with what is left; the next start opens it again.
# Usage: draw_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1
bin=$2
source "$session/session.env"
export WINEPREFIX DISPLAY WINEDEBUG=-all

fail() { echo "draw_test: $*" >&2; exit 1; }
user=$(whoami)
data="$WINEPREFIX/drive_c/users/$user/Pictures/Dotwright"
shots="$(dirname "$session")/e2e-screenshots"
mkdir -p "$shots"

# A small canvas makes the drawn pixels easy to find: settings say "a blank canvas of 200 x 150".
rm -f "$data/canvas.png"
mkdir -p "$data/setting"

start() {
  wine "$bin/Dotwright.exe" &
  program=$!
  wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
  window=$(xdotool search --sync --name '^Dotwright' | head -1)
  [[ -n $window ]] || fail "no X window for the main window"
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 1
}
stop() {
  wine "$bin/dwdrive.exe" close || fail "could not post WM_CLOSE"
  for _ in $(seq 1 200); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && { kill "$program"; fail "still running 20 s after WM_CLOSE"; }
  wait "$program" || fail "exit code $? after WM_CLOSE"
}
trap 'kill "$program" 2>/dev/null || true' EXIT

start
stop  # the first start writes the settings file; give it our canvas size
settings="$data/setting/Dotwright.ini"
[[ -f $settings ]] || fail "no settings file after the first start"
/usr/bin/python3 - "$settings" <<'PY'
import sys
path = sys.argv[1]
data = open(path, 'rb').read().decode('utf-8-sig')
lines = data.split('\r\n')
wanted = {'newcanvassize=': '1006', 'newcanvascx=': '200', 'newcanvascy=': '150'}
out = []
for line in lines:
    for key, value in wanted.items():
        if line.startswith(key):
            line = key + value
    out.append(line)
open(path, 'wb').write(('\ufeff' + '\r\n'.join(out)).encode('utf-8'))
PY
rm -f "$data/canvas.png"

start
title=$(wine "$bin/dwdrive.exe" title | tr -d '\r')
[[ $title == Dotwright* && $title != *'*' ]] || fail "title before drawing is '$title'"
# The centre of the view (below the caption and the menu bar, beside the panel column),
# relative to the X window.
eval "$(xdotool getwindowgeometry --shell "$window")"
read -r client_x client_y _ _ <<<"$(wine "$bin/dwdrive.exe" client-rect | tr -d '\r')"
read -r view_x view_y view_w view_h _ <<<"$(wine "$bin/dwdrive.exe" child-rect "View Window Class" | tr -d '\r')"
cx=$((client_x + view_x - X + view_w / 2)) cy=$((client_y + view_y - Y + view_h / 2))
xdotool mousemove --window "$window" $((cx - 40)) "$cy" mousedown 1
for dx in $(seq -35 5 40); do xdotool mousemove --window "$window" $((cx + dx)) "$cy"; sleep 0.02; done
xdotool mouseup 1
sleep 1
title=$(wine "$bin/dwdrive.exe" title | tr -d '\r')
[[ $title == *' *' ]] || fail "title after drawing is '$title', expected the unsaved mark"

# Ctrl+Z takes the horizontal stroke back; a vertical stroke follows; PageUp zooms in.
xdotool key --window "$window" ctrl+z
sleep 0.5
xdotool mousemove --window "$window" "$cx" $((cy - 30)) mousedown 1
for dy in $(seq -25 5 30); do xdotool mousemove --window "$window" "$cx" $((cy + dy)); sleep 0.02; done
xdotool mouseup 1
sleep 0.5
xdotool key --window "$window" Prior
sleep 1
import -window root "$shots/draw_test.png" 2>/dev/null || true
zoomed=$(wine "$bin/dwdrive.exe" title | tr -d '\r')
[[ $zoomed != "$title" && $zoomed == Dotwright* ]] || fail "PageUp left the title at '$zoomed'"
stop
trap - EXIT

[[ -f $data/canvas.png ]] || fail "no working canvas after the close"
if command -v pngcheck >/dev/null; then
  pngcheck "$data/canvas.png" >/dev/null || fail "pngcheck refuses the working canvas"
fi
/usr/bin/python3 - "$data/canvas.png" <<'PY' || fail "the working canvas does not hold the stroke"
import sys
from PIL import Image
image = Image.open(sys.argv[1])
assert image.mode == 'P' and image.size == (200, 150), (image.mode, image.size)
painted = [(x, y) for y in range(150) for x in range(200) if image.getpixel((x, y)) != 0xFF]
assert painted, 'no painted pixel'
ys = {y for _, y in painted}
xs = [x for x, _ in painted]
# Only the vertical stroke is left (the horizontal one was undone): a band much higher than wide.
assert max(ys) - min(ys) > 3 * (max(xs) - min(xs) + 1), (min(xs), max(xs), min(ys), max(ys))
print('draw_test: %d painted pixels in columns %d..%d, rows %d..%d' % (len(painted), min(xs), max(xs), min(ys), max(ys)))
PY

# The next start opens the same canvas: closing again without drawing keeps it.
start
stop
/usr/bin/python3 - "$data/canvas.png" <<'PY' || fail "the working canvas changed across a start without drawing"
import sys
from PIL import Image
image = Image.open(sys.argv[1])
assert image.size == (200, 150)
assert any(image.getpixel((x, y)) != 0xFF for y in range(150) for x in range(200))
PY
echo "draw_test: a mouse stroke was drawn, kept in the working canvas and opened again"
