#!/usr/bin/env bash
# The pen panels end to end under Wine: the pen window's size bar clicked at its right end, the
# hardness bar pressed and then Shift-dragged finely, a new name typed into the name box (its
# letter Q must not open the pen selector); a pen chosen in the pen list, the pen selector
# opened with Q at the mouse and a pen chosen in it, the easy panel shown. The settings file
# after the close holds what was set. Then the same panels at UI scale 200 in Japanese.
# Screenshots: pens_100.png, pens_selector_100.png, pens_easy_100.png, pens_200_ja.png.
# Usage: pens_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=pens_test
source "$(dirname "$0")/e2e_common.sh"

setting() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
expect() { [[ $2 == "$3" ]] || fail "$1: '$2', expected '$3'"; }
# rect CLASS [ID]: x y (screen) w h visible of the first such window.
rect() {
  local out cx cy
  out=$(drive child-rect "$@") || fail "no window $*"
  read -r cx cy _ _ <<<"$(drive client-rect)"
  read -r x y w h _ _ visible _ <<<"$out"
  x=$((cx + x)) y=$((cy + y))
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
# Every listed box (screen x y w h) of the screenshot shows more than one colour.
drawn() {
  /usr/bin/python3 - "$shots/$1" "${@:2}" <<'PY' || fail "$1: an empty panel"
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert('RGB')
for box in sys.argv[2:]:
    x, y, w, h = map(int, box.split(','))
    colours = image.crop((x + 2, y + 2, x + w - 2, y + h - 2)).getcolors(1 << 20)
    if colours is None or len(colours) < 3:
        sys.exit('%s: the box %s shows %s colours' % (sys.argv[1], box, colours and len(colours)))
PY
}

[[ -f $settings ]] || { start; stop; }
keys=(UIScaling ResourceFile newcanvassize newcanvascx newcanvascy view_panel_right SeparatePanel hide_panel
      ShowEasyPanel show_tabinfo show_loupe show_Icon show_pensetting show_layersetting show_penlist
      ShowColorPicker numPenSetting Pen0Name Pen0Size Pen0Hardness)
restore=()
for k in "${keys[@]}"; do restore+=("$k=$(setting "$k")"); done
rm -f "$data/canvas.png"
set_settings UIScaling=100 ResourceFile=English.dll newcanvassize=1006 newcanvascx=800 newcanvascy=600 \
             view_panel_right=0 SeparatePanel=0 hide_panel=0 ShowEasyPanel=0 show_tabinfo=0 show_loupe=0 \
             show_Icon=1 show_pensetting=1 show_layersetting=0 show_penlist=1 ShowColorPicker=0 numPenSetting=0 \
             Pen0Size=10 Pen0Hardness=50

# ---- UI scale 100, English.
start
rect "Bar Window Class" 1
expect "size bar" "$w $h" "101 13"
click $((x + w - 2)) $((y + 6))
rect "Bar Window Class" 2
# A press at client x 30 of a bar 99 pixels long: 100 * 30 / 99 -> 30; then a Shift drag of
# 32 pixels moves the slider 2 pixels: 100 * 32 / 99 -> 32 (a plain drag would give 62).
xdotool mousemove $((x + 30)) $((y + 6)) click 1
sleep 0.2
xdotool keydown shift mousemove $((x + 30)) $((y + 6)) mousedown 1
for dx in 8 16 24 32; do xdotool mousemove $((x + 30 + dx)) $((y + 6)); sleep 0.05; done
xdotool mouseup 1 keyup shift
sleep 0.2
rect Edit 5
click $((x + w - 4)) $((y + h / 2))
xdotool key End
for _ in $(seq 1 34); do xdotool key BackSpace; done
xdotool type --delay 30 "Quick pen"
xdotool key Return
sleep 0.3
rect "Pen Floating Window Class"
expect "selector after typing Q into the name box" "$visible" 0
rect "Pen Window Class"
pen_box="$x,$y,$w,$h"
rect "Pen List Window Class"
list_box="$x,$y,$w,$h"
# The fourth row of the list: pen 3.
click $((x + 60)) $((y + 18 * 3 + 9))
import -window root "$shots/pens_100.png"
drawn pens_100.png "$pen_box" "$list_box"

# Q over the view: the selector at the mouse; its sixth icon (slot 5) is the second of the
# second row: client (40..72, 40..72), inside a one-pixel border.
xdotool mousemove $((X + cx)) $((Y + cy))
xdotool key q
sleep 0.4
rect "Pen Floating Window Class"
expect "selector after Q" "$visible $w $h" "1 150 150"
import -window root "$shots/pens_selector_100.png"
drawn pens_selector_100.png "$x,$y,$w,$h"
click $((x + 1 + 56)) $((y + 1 + 56))
rect "Pen Floating Window Class"
expect "selector after choosing" "$visible" 0

drive command 40500 >/dev/null
sleep 0.4
rect "Easy Panel Window Class"
expect "easy panel" "$visible" 1
import -window root "$shots/pens_easy_100.png"
drawn pens_easy_100.png "$x,$y,$w,$h"
stop
expect "size after the click at the bar's end" "$(setting Pen0Size)" 1000
expect "hardness after the fine drag" "$(setting Pen0Hardness)" 32
expect "name" "$(setting Pen0Name)" "Quick pen"
expect "pen chosen in the selector" "$(setting numPenSetting)" 5
expect "easy panel shown" "$(setting ShowEasyPanel)" 1

# ---- UI scale 200, Japanese, with the selector open.
set_settings UIScaling=200 ResourceFile=Japanese.dll numPenSetting=0
start
rect "Bar Window Class" 1
expect "size bar at 200 %" "$h" 26
rect "Pen Window Class"
pen_box="$x,$y,$w,$h"
xdotool mousemove $((X + cx)) $((Y + cy))
xdotool key q
sleep 0.4
rect "Pen Floating Window Class"
expect "selector at 200 %" "$visible $w $h" "1 298 298"
import -window root "$shots/pens_200_ja.png"
drawn pens_200_ja.png "$pen_box" "$x,$y,$w,$h"
xdotool key Escape
stop
set_settings "${restore[@]}"
echo "pens_test: passed"
