#!/usr/bin/env bash
# A floating selection end to end under Wine: a stroke, the all-layer lasso (pen 10) drawn
# round it as a six-sided loop lifts it into its own window over the view; three Right arrows
# and Shift+Down move it by (3, 10); a Shift drag of (30, 2) keeps exactly horizontal; a click
# outside drops it and the stroke shows (33, 10) pixels further; two undos give back the view
# as it was before the lift. Select All, Copy (another program then reads an 8-bit bitmap), Cut
# and Paste give the canvas back. Screenshots of the floating and dropped states land in the
# e2e screenshot folder.
# Usage: selection_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=selection_test
source "$(dirname "$0")/e2e_common.sh"
# The pen current before, given back at the end for the tests after this one.
pen_before=$( (tr -d '\r' <"$settings" | sed -n 's/^numPenSetting=//p') 2>/dev/null || true)

# shot NAME: the screen, saved in the screenshot folder.
shot() { sleep 0.6; import -window root "$shots/$1" 2>/dev/null || fail "no screenshot $1"; }
# selection: "X Y" of the selection window in the main window's client area, or nothing.
selection() { drive child-rect "Selection Window Class" 2>/dev/null | awk '{ print $1, $2 }'; }

# A canvas of known size filling the view, whatever the tests before left.
set_settings newcanvassize=1006 newcanvascx=1000 newcanvascy=800
start
drive command 40001 >/dev/null  # a new canvas
drive command 40535 >/dev/null  # fitted to the view
drive command 40108 >/dev/null
drive command 40203 >/dev/null  # the ballpoint pen
stroke
shot selection_before.png
drive command 40211 >/dev/null  # lasso (all layers)
# The loop's corners; its bounding box, where the window stands, starts at (cx - 60, cy - 30).
xdotool mousemove --window "$window" $((cx - 60)) $((cy - 10)) mousedown 1
for corner in "-30 -30" "60 -30" "70 0" "60 30" "-30 30" "-60 10" "-60 -10"; do
  read -r dx dy <<<"$corner"
  xdotool mousemove --window "$window" $((cx + dx)) $((cy + dy)); sleep 0.05
done
xdotool mouseup 1
sleep 0.5
read -r x0 y0 <<<"$(selection)"
[[ -n ${x0:-} ]] || fail "no selection window after the lift"
shot selection_floating.png

xdotool key Right Right Right shift+Down
sleep 0.3
read -r x y <<<"$(selection)"
[[ "$x $y" == "$((x0 + 3)) $((y0 + 10))" ]] || fail "arrow keys moved the selection to $x,$y from $x0,$y0"

# A Shift drag from inside the loop, slightly downwards: it stays horizontal.
sx=$((cx - 60 + 3 + 40)) sy=$((cy - 30 + 10 + 20))
xdotool mousemove --window "$window" "$sx" "$sy" keydown shift mousedown 1
for d in 10 20 30; do xdotool mousemove --window "$window" $((sx + d)) $((sy + d / 15)); sleep 0.05; done
xdotool mouseup 1 keyup shift
sleep 0.3
shot selection_shift_drag.png
read -r x y <<<"$(selection)"
[[ "$x $y" == "$((x0 + 33)) $((y0 + 10))" ]] || fail "the Shift drag left the selection at $x,$y, expected $((x0 + 33)),$((y0 + 10))"

xdotool mousemove --window "$window" $((cx + 150)) $((cy + 120)) click 1
sleep 0.5
[[ -z $(selection) ]] || fail "the selection window is still there after a click outside"
shot selection_dropped.png
xdotool key ctrl+z ctrl+z
shot selection_undone.png

# The whole canvas selected and copied: another program gets it as an 8-bit bitmap of the
# canvas's size. Cut throws the selection away; paste floats it again where it was, and the
# drop (the commit message) gives back the canvas as it was.
xdotool key ctrl+a
sleep 0.5
[[ -n $(selection) ]] || fail "no selection window after Select All"
xdotool key ctrl+c
sleep 0.3
read -r bw bh bits <<<"$(drive clip-bitmap)" || fail "no bitmap on the clipboard after Copy"
[[ $bits == 8 && $bw -ge 100 && $bh -ge 100 ]] || fail "the clipboard holds a $bw x $bh, $bits-bit bitmap"
xdotool key ctrl+x
sleep 0.5
[[ -z $(selection) ]] || fail "the selection window is still there after Cut"
xdotool key ctrl+v
sleep 0.5
[[ -n $(selection) ]] || fail "no selection window after Paste"
drive post 0x8014 0 0 >/dev/null
sleep 0.5
[[ -z $(selection) ]] || fail "the pasted selection was not dropped"
shot selection_pasted.png

# The stroke's dark pixels in the view (the surround's grey is lighter): moved by (33, 10) after
# the drop, back after the undos. The window's moves were checked exactly above; the redrawn
# stroke lands within the rounding of the view's scale.
read -r vx vy vw vh <<<"$(view_rect)"
/usr/bin/python3 - "$shots" "$vx" "$vy" "$vw" "$vh" <<'PY' || fail "the stroke is not where the moves put it"
import sys
from PIL import Image
folder, vx, vy, vw, vh = sys.argv[1], *map(int, sys.argv[2:])
def dark(name):
    image = Image.open(folder + '/' + name).convert('L').crop((vx, vy, vx + vw, vy + vh))
    w, h = image.size
    data = image.load()
    return [(x, y) for y in range(h) for x in range(w) if data[x, y] < 150]
def centre(points):
    return sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points)
before, dropped, undone = dark('selection_before.png'), dark('selection_dropped.png'), dark('selection_undone.png')
pasted = dark('selection_pasted.png')
if not before: sys.exit('no stroke before the lift in the view at %d,%d %dx%d' % (vx, vy, vw, vh))
(bx, by), (dx, dy) = centre(before), centre(dropped)
if abs(dx - bx - 33) > 3 or abs(dy - by - 10) > 3:
    sys.exit('dropped stroke moved by (%.1f, %.1f), expected (33, 10)' % (dx - bx, dy - by))
# The brush outline follows the mouse, so the views are compared by where the ink lies.
def same(points):
    (px, py), (qx, qy) = centre(points), centre(before)
    return abs(px - qx) < 2 and abs(py - qy) < 2 and abs(len(points) - len(before)) <= len(before) // 10
if not same(undone):
    sys.exit('two undos did not give back the view before the lift: %s %d against %s %d' % (centre(undone), len(undone), centre(before), len(before)))
if not same(pasted):
    sys.exit('cut and paste of the whole canvas did not give it back')
PY
stop
set_settings numPenSetting="${pen_before:-0}"
