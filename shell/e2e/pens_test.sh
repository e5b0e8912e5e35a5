#!/usr/bin/env bash
# The pen panels end to end under Wine: the pen window's size bar clicked at its right end, the
# hardness bar pressed and then Shift-dragged finely, a new name typed into the name box (its
# letter Q must not open the pen selector), the own-layer box switched off; a pen chosen in the pen list, the pen selector
# opened with Q at the mouse and a pen chosen in it, the easy panel shown. The settings file
# after the close holds what was set.
# Screenshots: pens_100.png, pens_selector_100.png, pens_easy_100.png.
# Usage: pens_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=pens_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/pens_common.sh"

pen_settings UIScaling=100 ResourceFile=English.dll Pen0Size=10 Pen0Hardness=50 Pen0EnablePalette=1

# ---- UI scale 100, English.
start
rect "Bar Window Class" 1
expect "size bar height" "$h" 13
click $((x + w - 2)) $((y + 6))
rect "Bar Window Class" 2
# A press at client x 30 of a bar w - 2 pixels long puts the slider at 30; a Shift drag of 32
# pixels then moves it 2 pixels further: the value is 100 * 32 / (w - 2), rounded down (a
# plain drag would have taken the slider to 62).
hardness=$((100 * 32 / (w - 2)))
xdotool mousemove $((x + 30)) $((y + 6)) click 1
sleep 0.2
xdotool keydown shift mousemove $((x + 30)) $((y + 6)) mousedown 1
for dx in 8 16 24 32; do xdotool mousemove $((x + 30 + dx)) $((y + 6)); sleep 0.05; done
xdotool mouseup 1 keyup shift
sleep 0.2
rect Edit 5
click $((x + w - 4)) $((y + h / 2))
xdotool key End key --delay 5 $(printf 'BackSpace %.0s' $(seq 1 34))
xdotool type --delay 20 "Quick pen"
xdotool key Return
sleep 0.3
rect "Pen Floating Window Class"
expect "selector after typing Q into the name box" "$visible" 0
# The own-layer box off: the layer list goes.
rect ComboBox 3
expect "layer list of a pen with its own layer" "$visible" 1
rect Button 7
click $((x + w / 2)) $((y + h / 2))
rect ComboBox 3
expect "layer list after the own-layer box" "$visible" 0
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
expect "hardness after the fine drag" "$(setting Pen0Hardness)" "$hardness"
expect "name" "$(setting Pen0Name)" "Quick pen"
expect "own layer" "$(setting Pen0EnablePalette)" 0
expect "pen chosen in the selector" "$(setting numPenSetting)" 5
expect "easy panel shown" "$(setting ShowEasyPanel)" 1

restore_settings
echo "pens_test: passed"
