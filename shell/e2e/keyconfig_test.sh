#!/usr/bin/env bash
# The key configuration dialog end to end: F5 bound to "Zoom In" (OK) zooms in; F6 bound the
# same way but cancelled does nothing; Home cleared with the first root is gone; the settings
# file keeps what OK made. Screenshots of the dialog in English and Japanese, and of the
# settings, text and pen setting templates of both languages, none of whose captions may be
# clipped.
# Usage: keyconfig_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=keyconfig_test
source "$(dirname "$0")/e2e_common.sh"

# Rows of the key list (key indices) and items of the command tree (root/child).
row_home=6 row_f5=69 row_f6=70
unbound_root=0
zoom_in=7/1  # the roots File, Edit, Pen, View, Window, Help; then the hidden commands

set_settings AbnormalTerminationCount=0 ResourceFile=English.dll newcanvassize=1006 newcanvascx=200 newcanvascy=150
sed -i '/^\[key\]/,$d' "$settings"  # no bindings: the program starts from the default ones
rm -f "$data/canvas.png"

zoom() { title | sed -n 's/^Dotwright - \([^ ]*\) .*/\1/p'; }
expect_zoom() { sleep 0.7; [[ $(zoom) == "$1" ]] || fail "$2: zoom is '$(zoom)', expected $1"; }
open_dialog() {
  drive command 40802
  drive dialog-rect 1001 >/dev/null || fail "the key configuration dialog did not open"
  sleep 0.5
}
# Saves the open dialog, cropped from the screen, as $shots/$1.png.
shoot_dialog() {
  local shot="$shots/$1.png"
  read -r x y w h <<<"$(drive dialog-rect 1001)"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot" 2>/dev/null
}
# Binds key row $1 to tree item $2 and presses button $3 (1 OK, 2 Cancel).
bind() {
  open_dialog
  drive dialog-list-row 1001 "$1"
  sleep 0.3
  drive dialog-tree-select 1064 "$2" || fail "no tree item $2"
  sleep 0.2
  drive dialog-button "$3"
  drive dialog-gone 1001 || fail "the dialog did not close"
  focus
}

start
expect_zoom 1/6.250 "at start"
open_dialog
drive dialog-list-row 1001 $row_f5
drive dialog-tree-select 1064 $zoom_in
sleep 0.5
shoot_dialog keyconfig_english
drive dialog-button 2
drive dialog-gone 1001 || fail "Cancel did not close the dialog"
focus
xdotool key --window "$window" F5
expect_zoom 1/6.250 "F5 after Cancel"

bind $row_f5 $zoom_in 1
xdotool key --window "$window" F5
expect_zoom 1/4.000 "F5 bound to Zoom In"
bind $row_f6 $zoom_in 2
xdotool key --window "$window" F6
expect_zoom 1/4.000 "F6 after Cancel"
bind $row_home $unbound_root 1
xdotool key --window "$window" Home
expect_zoom 1/4.000 "Home after its binding was cleared"
stop

keys=$(sed -n '/^\[key\]/,$p' "$settings" | tr -d '\r')
grep -qx '010074=AFCA' <<<"$keys" || fail "no F5 line (010074=AFCA) in the settings: $keys"
grep -q '^010075=' <<<"$keys" && fail "the cancelled F6 binding was saved"
grep -q '^010024=' <<<"$keys" && fail "the cleared Home binding was saved"
grep -qx '010031=012D' <<<"$keys" || fail "the digit key 1 lost its binding"
grep -qx '09005A=9CA5' <<<"$keys" || fail "Ctrl+Z lost its binding"

# The same dialog in Japanese.
set_settings ResourceFile=Japanese.dll
start
open_dialog
shoot_dialog keyconfig_japanese
drive dialog-button 2
drive dialog-gone 1001 || fail "Cancel did not close the dialog"
stop
set_settings ResourceFile=English.dll

# The other templates, shown by the test helper itself; no caption may be clipped.
clipped=
for language in English Japanese; do
  library=$(winpath "$bin/language/$language.dll")
  for template in 100 103 105 116; do
    out=$(mktemp)
    drive show-template "$library" $template 1500 >"$out" &
    helper=$!
    for _ in $(seq 1 50); do grep -q '^shown' "$out" && break; sleep 0.1; done
    sleep 0.5
    read -r _ x y w h <<<"$(grep '^shown' "$out")"
    [[ -n ${h:-} ]] || fail "template $template of $language.dll was not shown"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/template_${template}_${language,,}.png" 2>/dev/null
    wait "$helper" || fail "showing template $template of $language.dll failed"
    clipped+=$(sed -n "s/^clipped /$language $template: /p" "$out")$'\n'
    rm -f "$out"
  done
done
[[ -z ${clipped//$'\n'/} ]] || fail "captions do not fit:"$'\n'"$clipped"
echo "keyconfig_test: bindings made, cancelled and cleared in the dialog; templates shown unclipped"
