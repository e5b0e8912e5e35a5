#!/usr/bin/env bash
# The pen setting dialog end to end, opened from the pen list (a command with the slot as its
# identifier, as a double click does): the stamp-brush controls are disabled for a ballpoint pen
# and enabled once the kind list (keys) picks the stamp brush; the size slider (keys) shows 1000;
# texture offsets of -5 and 300 show 0 and 255; a typed name reaches the preset and not the main
# window's key bindings; OK keeps it all, the exported XML holds it, Cancel after slider moves
# restores the preset, and an import into another slot copies it. A second open of the same
# preset shows the one dialog. Screenshot in English at UI scale 100 (the Japanese one at 200 is
# taken by the settings dialog test).
# Usage: pen_dialog_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=pen_dialog_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/dialog_common.sh"

dlg=1049  # the size slider: only the pen setting dialog has it
xml="$data/pen_dialog_test.xml"
set_settings AbnormalTerminationCount=0 ResourceFile=English.dll UIScaling=100 show_penlist=1 hide_panel=0 \
  SeparatePanel=0 newcanvassize=1006 newcanvascx=200 newcanvascy=150
sed -i '/^Pen[0-9]*[A-Za-z]*=/d' "$settings"  # the default pens
rm -f "$data/canvas.png" "$xml"

open_pen() {
  drive post-child "Pen List Window Class" 0x0111 "$1" 0 || fail "no pen list"
  look_dialog $dlg
  focus_dialog 'Pen Settings'
}
close_with() {
  drive dialog-button "$1"
  drive dialog-gone $dlg || fail "the pen setting dialog did not close"
  focus
}

start
open_pen 2
expect_text 1003 'ballpoint pen' "slot 2 at opening"
expect_text 1050 6 "slot 2 size at opening"
expect_enabled 1018 0 "the interval slider of a ballpoint pen"
# The kind list by keys: End is the last kind (22), three up the stamp brush (19).
click_control 1004
xdotool key Escape End Up Up Up
click_control 1049
xdotool key End
type_into 1036 300
type_into 1038 300
# D is the key that clears the canvas: in the name edit it is a letter.
type_into 1003 'Dotted stamp'
look_dialog $dlg
expect_enabled 1018 1 "the interval slider of the stamp brush"
expect_enabled 1012 1 "the stamp browse button of the stamp brush"
expect_text 1050 1000 "size after End"
expect_text 1036 255 "texture offset 300"
expect_text 1003 'Dotted stamp' "the typed name"
type_into 1036 -5
# The same preset again: still one dialog.
drive post-child "Pen List Window Class" 0x0111 2 0
sleep 0.3
[[ $(xdotool search --onlyvisible --name '^Pen Settings$' | wc -l) == 1 ]] ||
  fail "a second dialog opened for the same preset"
look_dialog $dlg
expect_text 1036 0 "texture offset -5"
shoot_dialog $dlg pen_dialog_english
close_with 1

# Export from a new dialog of the same preset, then Cancel it.
open_pen 2
drive dialog-button 1062
drive file-dialog "$(winpath "$xml")" 10000 || fail "no save dialog for the export"
for _ in $(seq 1 50); do [[ -s $xml ]] && break; sleep 0.1; done
[[ -s $xml ]] || fail "the export wrote no file"
close_with 2

# Cancel after slider moves restores the preset.
open_pen 3
click_control 1049
xdotool key Home
click_control 1051
xdotool key End
sleep 0.2
look_dialog $dlg
expect_text 1050 1 "slot 3 size after Home"
close_with 2

# Import into slot 4.
open_pen 4
drive dialog-button 1061
drive file-dialog "$(winpath "$xml")" 10000 || fail "no open dialog for the import"
sleep 0.3
look_dialog $dlg
expect_text 1003 'Dotted stamp' "slot 4 after the import"
expect_text 1050 1000 "slot 4 size after the import"
close_with 1
stop

x=$(tr -d '\r' <"$xml")
for element in '<name>Dotted stamp</name>' '<kindOfPen>19</kindOfPen>' '<size>1000</size>' \
               '<textureOffsetX>0</textureOffsetX>' '<textureOffsetY>255</textureOffsetY>'; do
  grep -qF "$element" <<<"$x" || fail "the exported XML lacks $element: $x"
done
expect_setting Pen2Name 'Dotted stamp' "after OK"
expect_setting Pen2KindOfPen 19 "after OK"
expect_setting Pen2Size 1000 "after OK"
expect_setting Pen2TextureOffsetY 255 "after OK"
expect_setting Pen3Size 6 "after Cancel"
expect_setting Pen3Hardness 10 "after Cancel"
expect_setting Pen4KindOfPen 19 "after the import"
expect_setting Pen4Size 1000 "after the import"
[[ -n $(setting Pen2Interval) ]] || fail "the stamp brush's own keys were not saved"
sed -i '/^Pen[0-9]*[A-Za-z]*=/d' "$settings"
rm -f "$xml"
echo "pen_dialog_test: kind, size, offsets, name, OK, Cancel, export and import checked"
