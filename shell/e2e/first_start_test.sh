#!/usr/bin/env bash
# The first start on an empty user data folder: the program makes the folders and fills
# "material", "texture", "stamp" and "template" from its own folders, starts on a blank A4
# canvas at 600 DPI, and keeps AbnormalTerminationCount at 1 in the settings file while it runs
# and 0 after an orderly close. A texture chosen from the pen menu's texture submenu, one chosen
# through the texture panel's message (0x800D) and a material chosen by its menu command are
# saved in the settings. Screenshots show the main window with its caption icon and the texture
# menu.
# Usage: first_start_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=first_start_test
source "$(dirname "$0")/e2e_common.sh"

value() { tr -d '\r' < "$settings" | sed -n "s/^$1=//p"; }
# The menu item of a file: its place among the folder's "*.bmp" in the order the program lists
# them (by name, letters compared in upper case).
item() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import os, sys
names = sorted((n[:-4] for n in os.listdir(sys.argv[1]) if n.lower().endswith('.bmp')), key=lambda n: (n.upper(), n))
print(names.index(sys.argv[2]))
PY
}

rm -rf "$data"
start

[[ -f $settings ]] || fail "no settings file while running"
[[ $(value AbnormalTerminationCount) == 1 ]] || fail "count while running is '$(value AbnormalTerminationCount)'"
for folder in material texture stamp template; do
  [[ -n $(ls "$bin/$folder") ]] || fail "the program folder's $folder is empty"
  diff -r "$bin/$folder" "$data/$folder" >/dev/null || fail "$folder was not copied from the program folder"
done
[[ -f $data/texture/tone_50.bmp && -f $data/material/none.bmp && -f $data/template/a4note.png ]] ||
  fail "default files missing"

# The pointer over the view shows the canvas cursor; the caption shows the program icon.
read -r view_x view_y view_w view_h <<<"$(view_rect)"
xdotool mousemove $((view_x + view_w / 2)) $((view_y + view_h / 2))
sleep 0.5
import -window root "$shots/first_start.png" 2>/dev/null || true

# The current pen (slot 0) takes its texture from the pen menu's texture submenu, opened like a
# user would: the file menu by a click, then the keyboard to the pen menu (two to the right),
# up to its texture item (second from the bottom), into it and down to the item.
texture=$(item "$data/texture" tone_30)
read -r client_x client_y _ _ <<<"$(drive client-rect)"
xdotool mousemove $((client_x + 14)) $((client_y - 9)) click 1
sleep 0.5
xdotool key Right Right Up Up Right
for _ in $(seq 1 "$texture"); do xdotool key Down; done
sleep 0.5
import -window root "$shots/first_start_texture_menu.png" 2>/dev/null || true
xdotool key Return
sleep 0.3
# The material through its menu command; pen slot 2 takes a texture through the texture panel's
# message (0x800D).
drive command $((40401 + $(item "$data/material" rough_grain))) || fail "could not post the material command"
drive command 40203 || fail "could not select pen slot 2"
drive post 0x800D "$(item "$data/texture" lines_diagonal)" 0 || fail "could not post the texture choice"
sleep 0.5
stop

[[ $(value AbnormalTerminationCount) == 0 ]] || fail "count after the close is '$(value AbnormalTerminationCount)'"
[[ $(value numPenSetting) == 2 ]] || fail "the current pen is '$(value numPenSetting)'"
[[ $(value Pen0TextureFileName) == tone_30.bmp ]] || fail "pen 0's texture is '$(value Pen0TextureFileName)'"
[[ $(value Pen2TextureFileName) == lines_diagonal.bmp ]] || fail "pen 2's texture is '$(value Pen2TextureFileName)'"
[[ $(value Pen1TextureFileName) == tone_50.bmp ]] || fail "pen 1's texture is '$(value Pen1TextureFileName)'"
[[ $(value MaterialFileName) == rough_grain.bmp ]] || fail "the material is '$(value MaterialFileName)'"

info=$(wine "$bin/dotwright-cli.exe" info "$(winpath "$data/canvas.png")" | tr -d '\r')
grep -qx 'size 4961 7016' <<<"$info" || fail "the working canvas is not A4 at 600 DPI: $info"
grep -qx 'depth 8' <<<"$info" || fail "the working canvas is not 8-bit: $info"
echo "$name: folders made and filled, A4 canvas, count 1 then 0, textures and material kept"
