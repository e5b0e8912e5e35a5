#!/usr/bin/env bash
# Dragging out of the program under Wine: the right button drags the view's picture onto a
# window that accepts files as a folder does (the test helper's drop target), which receives
# _DnD_.png holding the picture at the view's size; a lifted selection dragged the same way
# arrives as a canvas file of the selection. Another program's bitmap pastes as a selection, and
# an imported image floats the same way.
# Usage: dragout_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=dragout_test
source "$(dirname "$0")/e2e_common.sh"
# The pen current before, given back at the end for the tests after this one.
pen_before=$( (tr -d '\r' <"$settings" | sed -n 's/^numPenSetting=//p') 2>/dev/null || true)
scratch=$(mktemp -d)
trap '[[ -n $program ]] && kill "$program" 2>/dev/null; rm -rf "$scratch"' EXIT

# drag_to_target FROM_X FROM_Y OUT: a right-button drag from the point (relative to the main
# X window) onto a fresh drop target beside the window; waits for the target to take the file.
drag_to_target() {
  local target_x=$((X + WIDTH + 20)) target_y=$((Y + 40)) log=$scratch/target.log
  (( target_x + 200 > 1280 )) && target_x=$((1280 - 210))
  : >"$log"
  wine "$bin/dwdrive.exe" drop-target "$target_x" "$target_y" 20000 "$(winpath "$3")" >"$log" &
  local target=$!
  for _ in $(seq 1 100); do grep -q ready "$log" && break; sleep 0.1; done
  grep -q ready "$log" || fail "the drop target did not come up"
  xdotool mousemove --window "$window" "$1" "$2" mousedown 3
  sleep 0.3
  local step
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $(( ($1 + X) + (target_x + 100 - $1 - X) * step / 8 )) $(( ($2 + Y) + (target_y + 100 - $2 - Y) * step / 8 ))
    sleep 0.1
  done
  xdotool mouseup 3
  wait "$target" || fail "nothing was dropped on the target: $(cat "$log")"
  grep -q 'dropped _DnD_.png' "$log" || fail "the target got $(cat "$log")"
}

# A canvas of known size filling the view, whatever the tests before left.
set_settings newcanvassize=1006 newcanvascx=1000 newcanvascy=800
start
eval "$(xdotool getwindowgeometry --shell "$window")"
drive command 40001 >/dev/null  # a new canvas
drive command 40535 >/dev/null  # fitted to the view
drive command 40108 >/dev/null
drive command 40203 >/dev/null
stroke
drag_to_target "$cx" "$cy" "$scratch/picture.png"
check_png "$scratch/picture.png"
read -r _ _ vw vh <<<"$(view_rect)"
/usr/bin/python3 - "$scratch/picture.png" "$vw" "$vh" <<'PY' || fail "the dragged picture is wrong"
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert('L')
if image.size != (int(sys.argv[2]), int(sys.argv[3])):
    sys.exit('picture of %dx%d, the view is %sx%s' % (image.size + tuple(sys.argv[2:4])))
if min(image.getdata()) > 220:
    sys.exit('the stroke is not in the picture')
PY

# A lifted selection dragged out is a canvas file of its own size.
drive command 40210 >/dev/null
xdotool mousemove --window "$window" $((cx - 60)) $((cy - 30)) mousedown 1
for d in 10 30 60; do xdotool mousemove --window "$window" $((cx - 60 + 2 * d)) $((cy - 30 + d)); sleep 0.05; done
xdotool mouseup 1
sleep 0.5
drag_to_target "$cx" "$cy" "$scratch/selection.png"
check_png "$scratch/selection.png"
wine "$bin/dotwright-cli.exe" info "$(winpath "$scratch/selection.png")" >"$scratch/info.txt" 2>&1 ||
  fail "the dragged selection is not a canvas file: $(cat "$scratch/info.txt")"
drive post 0x8014 0 0 >/dev/null

# drop_and_expect WHAT COUNT VALUE: a selection window floats what WHAT made; it is dropped, the
# program closed, and the working canvas holds exactly COUNT painted pixels, all of VALUE (any
# one value when VALUE is "one").
drop_and_expect() {
  sleep 0.5
  drive child-rect "Selection Window Class" >/dev/null 2>&1 || fail "no selection window after $1"
  drive post 0x8014 0 0 >/dev/null
  sleep 0.3
  stop
  check_png "$data/canvas.png"
  /usr/bin/python3 - "$data/canvas.png" "$2" "$3" <<'PY' || fail "$1 did not land as $2 pixels of $3"
import sys
from PIL import Image
values = [v for v in Image.open(sys.argv[1]).getdata() if v != 255]
wanted = len(set(values)) == 1 if sys.argv[3] == 'one' else set(values) == {int(sys.argv[3])}
if len(values) != int(sys.argv[2]) or not wanted:
    sys.exit('%d painted pixels, values %s' % (len(values), sorted(set(values))[:8]))
PY
}

# Another program's bitmap pasted: its 20 x 30 black half lands on the current layer.
drive command 40108 >/dev/null
drive clip-put-bitmap 40 30 >/dev/null || fail "could not put a bitmap on the clipboard"
xdotool key ctrl+v
drop_and_expect "pasting a bitmap" 600 one

# The same bitmap pasted as an imported image (45012): converted as an imported colour picture,
# its white half lands on the three colour layers (248) and its black half paints nothing.
start
drive command 40108 >/dev/null
drive clip-put-bitmap 40 30 >/dev/null || fail "could not put a bitmap on the clipboard"
drive command 45012 >/dev/null
drop_and_expect "pasting as imported" 600 248

# An imported image floats at the view's corner and lands on drop: a 40 x 30 picture with a
# 5 x 4 block of layer-0 ink.
wine "$bin/dotwright-cli.exe" new 40 30 "$(winpath "$scratch/import.png")" >/dev/null 2>&1 || fail "cli new failed"
/usr/bin/python3 - "$scratch/import.png" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1])
for y in range(4):
    for x in range(5):
        image.putpixel((10 + x, 10 + y), 254)
image.save(sys.argv[1])
PY
start
drive command 40108 >/dev/null
drive command 40014 >/dev/null
drive file-dialog "$(winpath "$scratch/import.png")" >/dev/null || fail "no import dialog"
drop_and_expect "importing an image" 20 254
set_settings numPenSetting="${pen_before:-0}"
