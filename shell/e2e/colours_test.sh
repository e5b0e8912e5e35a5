#!/usr/bin/env bash
# The layer panel, the palette ring and the colour picker end to end under Wine, driven with the
# mouse and keys: a layer hidden and another locked with their toggles, a blend mode chosen in
# its list, the bottom layer dragged to the top of the stack, layer 4 (index 3) chosen in the
# palette ring (key W) and clipped, a hue picked on the picker's ring and a colour in its
# triangle; the close writes the working canvas, whose layer table and palette dotwright-cli
# then reads.
# Screenshots of the panels at UI scale 100 in English and at 200 in Japanese land in the e2e
# screenshot folder.
# Usage: colours_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=colours_test
source "$(dirname "$0")/e2e_common.sh"
cli() { wine "$bin/dotwright-cli.exe" "$1" "$(winpath "$2")" | tr -d '\r'; }
canvas="$data/canvas.png"
setting() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
expect() { [[ $2 == "$3" ]] || fail "$1: $2, expected $3"; }

# look: lists the main window's descendants once (again after the layout changed); box CLASS
# [ID] then sets bx by bw bh bvisible of that window, in screen pixels.
look() { kids=$(drive children) || fail "no main window"; }
box() {
  local out
  out=$(awk -v cls="$1" -v id="${2:-}" '{ name = $10; for (i = 11; i <= NF; ++i) name = name " " $i }
        name == cls && (id == "" || $1 == id) { print $2, $3, $4, $5, $8; exit }' <<<"$kids")
  [[ -n $out ]] || fail "no window $*"
  read -r bx by bw bh bvisible <<<"$out"
  bx=$((client_x + bx)) by=$((client_y + by))
}
# The pointer is let settle before the button: a press sent with the move lands where it was.
click() { xdotool mousemove "$1" "$2"; sleep 0.15; xdotool click 1; sleep 0.3; }
# click_in CLASS ID: the middle of that window.
click_in() { box "$1" "$2"; click $((bx + bw / 2)) $((by + bh / 2)); }
# shot NAME: the screen; the panel column is cut out of it as NAME_column.png at the end.
shots_taken=()
shot() {
  sleep 0.4
  import -window root "$shots/$1.png" 2>/dev/null || fail "no screenshot $1"
  box "Panel Window Class"
  shots_taken+=("$shots/$1.png" "$bx,$by,$bw,$bh")
}
cut_columns() {
  /usr/bin/python3 - "${shots_taken[@]}" <<'PY'
import sys
from PIL import Image
items = sys.argv[1:]
for path, box in zip(items[0::2], items[1::2]):
    x, y, w, h = map(int, box.split(','))
    image = Image.open(path).convert('RGB')
    image.crop((max(x, 0), max(y, 0), x + w, min(y + h, image.height))).save(path.replace('.png', '_column.png'))
PY
}
# open_ring: the palette ring opened with W over the view; sets its box.
open_ring() {
  read -r vx vy vw vh <<<"$(view_rect)"
  xdotool mousemove $((vx + vw / 2)) $((vy + vh / 2))
  focus
  xdotool key w
  sleep 0.4
  look
  box "Palette Floating Window Class"
  [[ $bvisible == 1 ]] || fail "the palette ring did not open"
}

if [[ ! -f $settings ]]; then start; stop; fi
restore=(UIScaling="$(setting UIScaling)" ResourceFile="$(setting ResourceFile)" newcanvassize="$(setting newcanvassize)"
         newcanvascx="$(setting newcanvascx)" newcanvascy="$(setting newcanvascy)"
         show_tabinfo="$(setting show_tabinfo)" show_loupe="$(setting show_loupe)" show_Icon="$(setting show_Icon)"
         show_pensetting="$(setting show_pensetting)" show_penlist="$(setting show_penlist)"
         show_layersetting="$(setting show_layersetting)" ShowColorPicker="$(setting ShowColorPicker)")
# A blank small canvas with the default layers; only the picker and the layer panel in the column.
rm -f "$canvas"
set_settings newcanvassize=1006 newcanvascx=400 newcanvascy=300 UIScaling=100 ResourceFile=English.dll \
             view_panel_right=0 SeparatePanel=0 hide_panel=0 ShowEasyPanel=0 show_tabinfo=0 show_loupe=0 show_Icon=0 \
             show_pensetting=0 show_penlist=0 show_layersetting=1 ShowColorPicker=1

start
read -r client_x client_y _ _ <<<"$(drive client-rect)"
look
shot colours_100
# Rows from the top: position 7 (layer 8) first. Hide layer 8, lock layer 7, layer 6 adds.
click_in "Visible Window Class" 16
click_in "Lock Window Class" 15
# The list opens below its box, one 13-pixel item each: "Add" is the third. (Enter would reach
# the main window's key bindings, which give it to the new-canvas command.)
click_in ComboBox 6
click $((bx + bw / 2)) $((by + bh + 1 + 2 * 13 + 6))
# The bottom row (layer 1) dragged by its number to the top boundary.
box "Layer Window Class"
xdotool mousemove $((bx + 122)) $((by + 150))
sleep 0.15
xdotool mousedown 1
for y in 130 100 60 20 2; do xdotool mousemove $((bx + 122)) $((by + y)); sleep 0.05; done
sleep 0.2
shot colours_drag_100
xdotool mouseup 1
sleep 0.3
# The ring: layer 4 (index 3) becomes current and the ring closes.
open_ring
shot colours_ring_100
click_in "Palette Window Class" 3
look
box "Palette Floating Window Class"
[[ $bvisible == 0 ]] || fail "the ring stayed open after a choice"
# Layer 4 (now at position 2) clipped: its row moves right.
box "Visible Window Class" 11
unclipped=$bx
click_in Button 103
look
box "Visible Window Class" 11
expect "clipped row indented" $((bx - unclipped)) 3
# The picker: red on its ring (the left), then the middle of the triangle's widest row.
box "Color Picker Window Class"
click $((bx + bw * 24 / 384)) $((by + bh / 2))
click $((bx + bw * 228 / 384)) $((by + bh / 2))
shot colours_picked_100
# The paper: a click makes it the entry the picker edits; a double click opens the system's
# colour dialog, left with OK; then the picker's black corner becomes the paper colour.
box "Palette Window Class" 100
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
sleep 0.15
xdotool click 1
sleep 0.3
xdotool click --repeat 2 --delay 80 1
drive dialog-rect 1 >/dev/null || fail "no colour dialog after a double click on the paper"
sleep 0.3
import -window root "$shots/colours_dialog_100.png" 2>/dev/null || true
drive dialog-button 1 >/dev/null || fail "could not press OK in the colour dialog"
drive dialog-gone 1 || fail "the colour dialog stayed open"
box "Color Picker Window Class"
click $((bx + bw * 121 / 384)) $((by + bh * 315 / 384))
stop

info=$(cli info "$canvas") || fail "dotwright-cli cannot read the working canvas"
row() { sed -n "$(( $1 + 4 ))p" <<<"$info"; }
# visible,blend,colour,order,locked,clipped,opacity; layer 1 went to the top, the rest down one.
expect "layer 1 at the top" "$(row 0)" "1,1,0,7,0,0,255"
expect "layer 6 adds" "$(row 5)" "1,2,15219176,4,0,0,255"
expect "layer 7 locked" "$(row 6)" "1,1,4640755,5,1,0,255"
expect "layer 8 hidden" "$(row 7)" "0,1,8421504,6,0,0,255"
IFS=, read -r _ _ colour order _ clipped _ <<<"$(row 3)"
expect "layer 4's place and clip" "$order $clipped" "2 1"
# Red at lightness 0.50 and chroma 0.50: linear max 0.749, min 0.247, bytes 224 and 135.
r=$((colour & 255)) g=$((colour >> 8 & 255)) b=$((colour >> 16 & 255))
((r >= 221 && r <= 227 && g >= 132 && g <= 138 && b == g)) || fail "picked colour $r $g $b, expected about 224 135 135"
IFS=, read -r _ _ colour _ <<<"$(row 8)"
expect "black paper" "$colour" 0
# The palette follows: layer 4 is clipped to layer 3 and hidden layer 8 is not shown, so each
# alone shows the paper.
palette=$(cli palette "$canvas")
expect "palette of the bare paper" "$(sed -n 's/^255 //p' <<<"$palette")" 000000
expect "palette of clipped layer 4 alone" "$(sed -n 's/^247 //p' <<<"$palette")" 000000
expect "palette of hidden layer 8 alone" "$(sed -n 's/^127 //p' <<<"$palette")" 000000

# UI scale 200 in Japanese: the panels, the ring.
set_settings UIScaling=200 ResourceFile=Japanese.dll
start
read -r client_x client_y _ _ <<<"$(drive client-rect)"
look
box "Layer Window Class"
expect "layer panel at 200 %" "$bw $bh" "256 440"
shot colours_200_ja
# The column scrolled down to the paper, the clip box and the opacity bar.
box "Panel Window Class"
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
for _ in 1 2 3 4 5 6; do xdotool click 5; sleep 0.05; done
shot colours_200_ja_lower
open_ring
expect "ring at 200 %" "$bw $bh" "192 192"
shot colours_ring_200_ja
# A press on the view outside the ring puts it away (the right button: it draws nothing).
read -r vx vy vw vh <<<"$(view_rect)"
xdotool mousemove $((vx + 10)) $((vy + 10)) click 3
sleep 0.4
look
box "Palette Floating Window Class"
[[ $bvisible == 0 ]] || fail "the ring stayed open after a press on the view"
stop
trap - EXIT
set_settings "${restore[@]}"
cut_columns
echo "colours_test: toggles, blend list, drag, ring and picker reach the saved canvas"
