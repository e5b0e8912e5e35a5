#!/usr/bin/env bash
# The key configuration dialog end to end: F6 bound to "Zoom In" but cancelled does nothing;
# F5 bound the same way (OK) zooms in; Home cleared with the first root does nothing; Shift+F5,
# bound with the Shift box ticked, zooms out; the settings file keeps what OK made.
# Screenshots of the dialog in English and Japanese, and of the dialog templates of both
# languages side by side (templates_LANGUAGE.png): each template has the controls the program
# uses, and no caption may be clipped.
# Usage: keyconfig_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=keyconfig_test
source "$(dirname "$0")/e2e_common.sh"

# Rows of the key list (key indices) and items of the command tree (root/child).
row_home=6 row_f5=69 row_f6=70
unbound_root=0
zoom_in=7/1 zoom_out=7/2  # roots File, Edit, Pen, View, Window, Help; then the hidden commands

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
# Binds key row $1 to tree item $2, saves a screenshot as $4 when given, and presses button $3
# (1 OK, 2 Cancel).
bind() {
  open_dialog
  drive dialog-list-row 1001 "$1" || fail "no key row $1"
  drive dialog-tree-select 1064 "$2" || fail "no tree item $2"
  [[ -z ${4:-} ]] || { sleep 0.3; shoot_dialog "$4"; }
  drive dialog-button "$3"
  drive dialog-gone 1001 || fail "the dialog did not close"
  focus
}

start
expect_zoom 1/6.250 "at start"
bind $row_f6 $zoom_in 2 keyconfig_english
xdotool key --window "$window" F6
expect_zoom 1/6.250 "F6 after Cancel"
bind $row_f5 $zoom_in 1
xdotool key --window "$window" F5
expect_zoom 1/4.000 "F5 bound to Zoom In"
bind $row_home $unbound_root 1
xdotool key --window "$window" Home
expect_zoom 1/4.000 "Home after its binding was cleared"
# With Shift ticked the same key row holds a binding of its own.
open_dialog
drive dialog-check 1027 1
drive dialog-list-row 1001 $row_f5
drive dialog-tree-select 1064 $zoom_out
drive dialog-button 1
drive dialog-gone 1001 || fail "the dialog did not close"
focus
xdotool key --window "$window" shift+F5
expect_zoom 1/8.000 "Shift+F5 bound to Zoom Out"
stop

keys=$(sed -n '/^\[key\]/,$p' "$settings" | tr -d '\r')
grep -qx '010074=AFCA' <<<"$keys" || fail "no F5 line (010074=AFCA) in the settings: $keys"
grep -qx '050074=AFCB' <<<"$keys" || fail "no Shift+F5 line (050074=AFCB) in the settings: $keys"
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
sed -i '/^\[key\]/,$d' "$settings"  # the later tests start from the default bindings again

# Every template of both libraries, shown by the test helper itself: each has the controls the
# program reads and writes (identifier and window class), and no caption may be clipped.
edit=Edit static=Static button=Button combo=ComboBox slider=msctls_trackbar32
declare -A controls=(
  [100]="1005:$button 1006:$button 1007:$button 1008:$button 1000:$edit 1003:$edit 1033:$button 1045:$combo
         1011:$edit 1012:$button 1048:$edit 1014:$button 1036:$edit 1038:$edit 1031:$button 1032:$button
         1023:$button 1024:$button 1046:$button 1047:$button 1056:$button 1057:$button 1027:$button
         1009:$slider 1040:$static 1018:$slider 1026:$static 1025:$slider 1030:$static 1029:$slider
         1034:$static 1028:$button 1035:$button 1:$button 2:$button"
  [103]="1001:SysListView32 1064:SysTreeView32 1027:$button 1028:$button 1:$button 2:$button"
  [105]="1037:$edit 1000:$edit 1027:$button 1028:$button 1035:$button 1063:$button 1003:$edit 1011:$edit
         1036:$edit 1038:$edit 1048:$edit 1:$button 2:$button"
  [116]="1003:$edit 1004:$combo 1049:$slider 1050:$static 1051:$slider 1052:$static 1060:$slider
         1040:$static 1035:$button 1063:$button 1018:$slider 1026:$static 1025:$slider 1030:$static
         1029:$slider 1034:$static 1009:$slider 1002:$static 1044:$slider 1041:$static 1043:$slider
         1042:$static 1010:$button 1013:$button 1015:$button 1017:$button 1019:$button 1039:$button
         1027:$button 1028:$button 1011:$edit 1012:$button 1036:$edit 1038:$edit 1061:$button
         1062:$button 1:$button 2:$button"
)
clipped=
for language in English Japanese; do
  library=$(winpath "$bin/language/$language.dll")
  out=$(mktemp)
  wine "$bin/dwdrive.exe" show-templates "$library" 500 100 103 105 116 >"$out" &  # unbuffered: no tr
  helper=$!
  for _ in $(seq 1 100); do grep -q '^shown' "$out" && break; sleep 0.1; done
  import -window root "$shots/templates_${language,,}.png" 2>/dev/null
  wait "$helper" || fail "showing the templates of $language.dll failed"
  report=$'\n'$(tr -d '\r' <"$out")$'\n'
  rm -f "$out"
  declare -A have=()
  while read -r word template id class; do
    [[ $word == control ]] && have["$template $id $class"]=1
  done <<<"$report"
  for template in 100 103 105 116; do
    [[ $report == *$'\n'"shown $template "* ]] || fail "template $template of $language.dll was not shown"
    for pair in ${controls[$template]}; do
      [[ -n ${have["$template ${pair%%:*} ${pair#*:}"]:-} ]] ||
        fail "template $template of $language.dll has no control ${pair%%:*} of class ${pair#*:}"
    done
  done
  found=$(sed -n "s/^clipped /$language /p" <<<"$report")
  if [[ -n $found ]]; then clipped+=$found$'\n'; fi
done
[[ -z $clipped ]] || fail "captions do not fit (library, template, control):"$'\n'"$clipped"
echo "keyconfig_test: bindings made, cancelled and cleared in the dialog; templates shown unclipped"
