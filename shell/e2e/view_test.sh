#!/usr/bin/env bash
# Moving the view end to end: PageUp/PageDown and the wheel zoom through the presets, Home resets,
# Delete turns and H mirrors the picture, the canvas-control message pans (on, scroll by
# (10, -5), off), a Space drag pans, a Space+Shift drag zooms out and a Space+Ctrl drag turns;
# a digit key changes the pen, which the settings keep.
# Usage: view_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=view_test
source "$(dirname "$0")/e2e_common.sh"

set_settings newcanvassize=1006 newcanvascx=200 newcanvascy=150 numPenSetting=0
rm -f "$data/canvas.png"

zoom() { title | sed -n 's/^Dotwright - \([^ ]*\) .*/\1/p'; }
expect_zoom() { sleep 0.7; [[ $(zoom) == "$1" ]] || fail "$2: zoom is '$(zoom)', expected $1"; }
# The white canvas's bounding box in screen pixels, "left top right bottom" (exclusive).
canvas_box() {
  local shot="$shots/view_test_$1.png"
  import -window root "$shot" 2>/dev/null
  read -r x y w h <<<"$(drive client-rect)"
  /usr/bin/python3 - "$shot" "$x" "$y" "$w" "$h" <<'PY'
import sys
from PIL import Image
path, x0, y0, w, h = sys.argv[1], *map(int, sys.argv[2:])
image = Image.open(path).convert('RGB').crop((x0, y0, x0 + w, y0 + h))
box = image.point(lambda v: 255 if v == 255 else 0).convert('L').point(lambda v: 255 if v == 255 else 0).getbbox()
print(' '.join(str(v) for v in (box or (0, 0, 0, 0))))
PY
}

start
expect_zoom 1/6.250 "at start (print size: 600 / 96)"
xdotool key --window "$window" Prior
expect_zoom 1/4.000 "PageUp"
xdotool key --window "$window" Next
expect_zoom 1/8.000 "PageDown"
xdotool mousemove --window "$window" "$cx" "$cy" click 4
expect_zoom 1/16.000 "wheel up"
xdotool click 5
expect_zoom 1/8.000 "wheel down"
xdotool key --window "$window" Home
expect_zoom 1/6.250 "Home"

read -r l0 t0 r0 b0 <<<"$(canvas_box straight)"
(( r0 - l0 == 32 && b0 - t0 == 24 )) || fail "the 200 x 150 canvas shows as $l0 $t0 $r0 $b0 at 1/6.25"
xdotool key --window "$window" Delete
sleep 1
read -r l t r b <<<"$(canvas_box turned)"
(( r - l > 32 && b - t > 24 )) || fail "Delete did not turn the canvas: $l $t $r $b"
xdotool key --window "$window" Home
sleep 0.5

# Canvas control from another program: scrolling by (10, -5) moves the picture left 10, down 5.
drive canvas-control 0x1200 0
drive canvas-control 0x1201 $(( (0xFFFB << 16) | 10 ))
drive canvas-control 0x1202 0
sleep 0.7
read -r l t r b <<<"$(canvas_box scrolled)"
(( l == l0 - 10 && t == t0 + 5 )) || fail "canvas control moved the canvas from $l0 $t0 to $l $t"

# A Space drag pans by the mouse's way: 30 right, 20 down.
xdotool keydown space
xdotool mousemove --window "$window" "$cx" "$cy" mousedown 1
for i in 1 2 3; do xdotool mousemove --window "$window" $((cx + 10 * i)) $((cy + 20 * i / 3)); sleep 0.05; done
xdotool mouseup 1
xdotool keyup space
sleep 0.7
read -r l2 t2 r b <<<"$(canvas_box panned)"
(( l2 == l + 30 && t2 == t + 20 )) || fail "the Space drag moved the canvas from $l $t to $l2 $t2"
# Nothing was drawn by the drag.
[[ $(title) != *' *' ]] || fail "the pan drag drew on the canvas"

# Space+Shift: from 150 to 300 pixels right of the centre halves the scale's divisor (the first
# move with the button down gives the start distance).
xdotool keydown space keydown shift
xdotool mousemove --window "$window" $((cx + 140)) "$cy" mousedown 1
for i in 0 1 2 3 4 5; do xdotool mousemove --window "$window" $((cx + 150 + 30 * i)) "$cy"; sleep 0.05; done
xdotool mouseup 1
xdotool keyup shift keyup space
expect_zoom 1/3.125 "the zoom drag"

# Space+Ctrl: a quarter turn about the centre, from right of it to below it.
xdotool keydown space keydown ctrl
xdotool mousemove --window "$window" $((cx + 97)) $((cy - 26)) mousedown 1  # 15 degrees above
for a in 0 1 2 3 4 5 6; do
  read -r mx my <<<"$(/usr/bin/python3 -c "import math; a = $a * math.pi / 12; print(round($cx + 100 * math.cos(a)), round($cy + 100 * math.sin(a)))")"
  xdotool mousemove --window "$window" "$mx" "$my"; sleep 0.05
done
import -window root "$shots/view_test_rotate_preview.png" 2>/dev/null || true
xdotool mouseup 1
xdotool keyup ctrl keyup space
sleep 1
read -r l t r b <<<"$(canvas_box quarter_turn)"
# At 1/3.125 the canvas is 64 x 48; a quarter turn shows it 48 wide and 64 high.
(( r - l == 48 && b - t == 64 )) || fail "the Ctrl drag did not turn the canvas a quarter: $l $t $r $b"

xdotool key --window "$window" 3
sleep 0.3
stop
grep -q $'^numPenSetting=2\r' "$settings" || fail "the digit key 3 did not make pen slot 2 current: $(grep numPenSetting "$settings")"
echo "view_test: keys, wheel, canvas control and the three drags move the view"
