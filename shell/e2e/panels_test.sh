#!/usr/bin/env bash
# The panel column end to end under Wine: docked left beside the view at UI scale 100, moved
# to the right (40514), spread into captioned floating windows (40515) and docked again, hidden
# (40513), a member toggled, the window made translucent (40552); at UI scale 200 the column is
# twice as wide; view_panel_right=1 in the settings file puts the panels on the right at start
# and is 1 again after closing; separate panels come back floating where they were left.
# Geometry is read through dwdrive child-rect; every shown panel must have drawn something.
# Screenshots of each arrangement land in the e2e screenshot folder.
# Usage: panels_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=panels_test
source "$(dirname "$0")/e2e_common.sh"

dw() { drive "$@"; }
# The column's own start: the start-up commands are posted, so wait for them, then list the
# windows.
start() {
  wine "$bin/Dotwright.exe" &
  program=$!
  dw wait 30000 >/dev/null || fail "no main window"
  window=$(xdotool search --sync --name '^Dotwright' | head -1)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 1
  read -r client_x client_y client_w client_h <<<"$(dw client-rect)"
  look
}
settings() { set_settings "$@"; }
setting() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }

# look: lists the main window's descendants (dwdrive children) once; rect CLASS [ID] then
# sets x y w h cw ch visible caption of the first listed window of that class (and child
# identifier).
look() { kids=$(dw children) || fail "no main window"; }
rect() {
  local out
  out=$(awk -v cls="$1" -v id="${2:-}" '{ name = $10; for (i = 11; i <= NF; ++i) name = name " " $i }
        name == cls && (id == "" || $1 == id) { print $2, $3, $4, $5, $6, $7, $8, $9; exit }' <<<"$kids")
  [[ -n $out ]] || fail "no window $*"
  read -r x y w h cw ch visible caption <<<"$out"
}
# run ID: runs a command of the main window and looks again.
run() {
  dw command "$1" >/dev/null || fail "could not post command $1"
  sleep 0.3
  look
}
expect() { [[ $2 == "$3" ]] || fail "$1: $2, expected $3"; }

# Every shown panel has drawn something: its part inside the client area has more than one
# colour on the screen. panels_seen SHOT notes the shown panels' boxes for SHOT;
# panels_drawn checks every noted box at the end.
boxes=()
panels_seen() {
  local target cls id
  look
  for target in "BMP Window Class|100" "BMP Window Class|101" "Icon Window Class|" "Pen Window Class|" \
                "Layer Window Class|" "Pen List Window Class|" "Panel Window Class|"; do
    cls=${target%|*} id=${target#*|}
    rect "$cls" $id
    [[ $visible == 1 ]] && boxes+=("$1:$cls $id:$client_x,$client_y,$client_w,$client_h:$x,$y,$w,$h")
  done
  return 0
}
panels_drawn() {
  /usr/bin/python3 - "$shots" "${boxes[@]}" <<'PY' || fail "a panel is empty"
import sys
from PIL import Image
images = {}
for item in sys.argv[2:]:
    shot, name, client, box = item.split(':')
    image = images.setdefault(shot, Image.open(sys.argv[1] + '/' + shot).convert('RGB'))
    cx, cy, cw, ch = map(int, client.split(','))
    x, y, w, h = map(int, box.split(','))
    left, top = max(x, 0) + 4, max(y, 0) + 4
    right, bottom = min(x + w, cw) - 4, min(y + h, ch) - 4
    if right - left < 8 or bottom - top < 8:
        continue  # scrolled out of the column
    colours = image.crop((cx + left, cy + top, cx + right, cy + bottom)).getcolors(1 << 20)
    if colours is None or len(colours) < 2:
        sys.exit('%s: %s at %d,%d %dx%d shows one colour' % (shot, name, x, y, w, h))
print('panels_test: %d shown panels drew something' % (len(sys.argv) - 2))
PY
}
# screenshot NAME [still]: a short stroke in the middle of the view, the pointer left on it for
# the loupe, a screenshot. With "still" (floating panels may cover the view's middle) the
# pointer stays where it is and the loupe shows the last stroke.
screenshot() {
  look
  rect "View Window Class"
  local px=$((client_x + x + w / 2)) py=$((client_y + y + h / 2))
  if [[ ${2:-} != still ]]; then
    xdotool mousemove $((px - 20)) "$py" mousedown 1
    for dx in -10 0 10 20; do xdotool mousemove $((px + dx)) $((py + dx / 2)); sleep 0.05; done
    xdotool mouseup 1
    xdotool mousemove "$px" "$py"
  fi
  sleep 0.5
  import -window root "$shots/$1" 2>/dev/null || fail "no screenshot $1"
  panels_seen "$1"
}

# A settings file to start from: the first start writes one.
if [[ ! -f $settings ]]; then start; stop; fi
restore=(UIScaling="$(setting UIScaling)" ResourceFile="$(setting ResourceFile)" newcanvassize="$(setting newcanvassize)"
         newcanvascx="$(setting newcanvascx)" newcanvascy="$(setting newcanvascy)"
         show_tabinfo="$(setting show_tabinfo)" show_loupe="$(setting show_loupe)" show_Icon="$(setting show_Icon)"
         show_layersetting="$(setting show_layersetting)" show_penlist="$(setting show_penlist)"
         show_pensetting="$(setting show_pensetting)" ShowColorPicker="$(setting ShowColorPicker)")
positions=(PanelWindowPos TabInfoWindowPos LoupeWindowPos IconWindowPos Icon1WindowPos Icon2WindowPos
           Icon3WindowPos PenSettingWindowPos ColorPickerWindowPos LayerSettingWindowPos PenListWindowPos
           TextureWindowPos PaperTextureWindowPos)
no_positions=()
for p in "${positions[@]}"; do no_positions+=("${p}X=0" "${p}Y=0"); done
no_positions+=(COlorPickerWindowPosY=0)
# A small blank canvas keeps starts and closes quick.
rm -f "$(dirname "$(dirname "$settings")")/canvas.png"
settings newcanvassize=1006 newcanvascx=800 newcanvascy=600 UIScaling=100 ResourceFile=English.dll \
         view_panel_right=0 SeparatePanel=0 hide_panel=0 ShowEasyPanel=0 ShowColorPicker=0 show_tabinfo=1 show_loupe=1 show_Icon=1 show_pensetting=1 show_layersetting=1 show_penlist=1 "${no_positions[@]}"

# ---- UI scale 100: docked left, right, separate, docked again.
start
rect "Panel Window Class"
bar=$((w - 128))
((bar > 0)) || fail "the column has no scroll bar: $w wide"
expect "column at start" "$x $y $cw $h $visible $caption" "0 0 128 $client_h 1 0"
col_w=$w
rect "View Window Class"
expect "view beside the column" "$x $y $w $h" "$col_w 0 $((client_w - col_w)) $client_h"
rect "BMP Window Class" 100
expect "tablet information below the strip" "$x $y $w $h" "0 32 128 60"
rect "BMP Window Class" 101
expect "loupe" "$x $y $w $h" "0 92 128 128"
rect "Pen List Window Class"
expect "pen list size" "$w $h" "128 288"
screenshot panels_left_100.png

run 40514
rect "Panel Window Class"
expect "column on the right" "$x $y $w $h $caption" "$((client_w - col_w)) 0 $col_w $client_h 0"
rect "View Window Class"
expect "view left of the column" "$x $y $w" "0 0 $((client_w - col_w))"
screenshot panels_right_100.png

run 40515
rect "Panel Window Class"
expect "floating column frame" "$x $y $cw $ch $visible $caption" "$((client_w - col_w)) 0 128 32 1 1"
frame_x=$x
rect "View Window Class"
expect "view with floating panels" "$x $y $w $h" "0 0 $client_w $client_h"
rect "Pen List Window Class"
expect "floating pen list" "$cw $ch $visible $caption" "128 288 1 1"
screenshot panels_separate_100.png still

run 40515
rect "Pen List Window Class"
expect "pen list docked again" "$w $h $caption" "128 288 0"
rect "Panel Window Class"
expect "column docked again" "$x $w $caption" "$((client_w - col_w)) $col_w 0"
run 40514
rect "Panel Window Class"
expect "column back on the left" "$x $w" "0 $col_w"

run 40513
rect "Panel Window Class"
expect "hidden column" "$visible" 0
rect "View Window Class"
expect "view with the column hidden" "$x $w" "0 $client_w"
dw command 40513 >/dev/null
run 40510
rect "Pen List Window Class"
expect "pen list switched off" "$visible" 0
dw command 40510 >/dev/null
run 40552
expect "translucent" "$(dw layered)" "layered $(setting WindowOpacity)"
run 40552
expect "opaque again" "$(dw layered)" opaque
stop
expect "view_panel_right after close" "$(setting view_panel_right)" 0
expect "SeparatePanel after close" "$(setting SeparatePanel)" 0
expect "stored frame position" "$(setting PanelWindowPosX) $(setting PanelWindowPosY)" "$frame_x 0"

# ---- UI scale 200, panels on the right in the settings file; the floating windows are
# spread afresh for the larger panels.
settings UIScaling=200 view_panel_right=1 show_Icon=0 "${no_positions[@]}"
start
rect "Panel Window Class"
expect "column at 200 % on the right" "$x $cw $caption" "$((client_w - 256 - bar)) 256 0"
rect "Pen List Window Class"
expect "pen list at 200 %" "$w $h" "256 576"
screenshot panels_right_200.png
stop
expect "view_panel_right after a start on the right" "$(setting view_panel_right)" 1

start
run 40514
rect "Panel Window Class"
expect "column at 200 % on the left" "$x $cw" "0 256"
screenshot panels_left_200.png
run 40515
rect "Layer Window Class"
expect "floating layer panel at 200 %" "$cw $ch $caption" "256 440 1"
layer_at="$x $y"
screenshot panels_separate_200.png still
# A member switched off and on while floating comes back where it was, captioned.
rect "Pen List Window Class"
pen_list_at="$x $y"
run 40510
rect "Pen List Window Class"
expect "floating pen list switched off" "$visible" 0
run 40510
rect "Pen List Window Class"
expect "floating pen list switched on" "$x $y $visible $caption" "$pen_list_at 1 1"
stop
expect "SeparatePanel kept at close" "$(setting SeparatePanel)" 1
expect "layer panel position stored" "$(setting LayerSettingWindowPosX) $(setting LayerSettingWindowPosY)" "$layer_at"

# Separate panels come back floating where they were; in Japanese this time, for the picture.
settings ResourceFile=Japanese.dll
start
rect "Layer Window Class"
expect "layer panel floating again" "$x $y $caption" "$layer_at 1"
screenshot panels_separate_200_japanese.png still
run 40515
stop
trap - EXIT
settings "${restore[@]}" view_panel_right=0 SeparatePanel=0
panels_drawn
echo "panels_test: the column docks left and right, floats and docks again, at 100 % and 200 %"
