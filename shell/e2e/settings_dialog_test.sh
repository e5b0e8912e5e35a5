#!/usr/bin/env bash
# The settings dialog (40801) end to end: numbers typed into its edits are clamped when they
# lose the focus (canvas width 0 shows 1, 70000 shows 65535; screen 50 dpi shows 75, print
# 2000 dpi shows 1200); Cancel keeps every setting; OK with a template that does not exist keeps
# the dialog open; OK writes the edits, a slider moved by keys and a radio button clicked into the
# settings file. The texture panels show the files with their pictures and the one in use; a
# click on a material chooses it. Screenshots of the dialog and the panels at UI scale 100 in
# English and 200 in Japanese.
# Usage: settings_dialog_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=settings_dialog_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/dialog_common.sh"

dlg=1033  # the printer page button: only the settings dialog has it
set_settings AbnormalTerminationCount=0 ResourceFile=English.dll UIScaling=100 newcanvassize=1006 newcanvascx=200 \
  newcanvascy=150 ScreenDPI=96 PrintDPI=600 WindowOpacity=128 CorrectionStrength=3 PenEmulation=0 \
  MaterialFileName=none.bmp show_texture=1 show_paper_texture=1 hide_panel=0 SeparatePanel=0 view_panel_right=0
rm -f "$data/canvas.png"
template=$(setting TemplateFileName)

open_settings() {
  drive command 40801
  look_dialog $dlg
  focus_dialog "$1"
}
close_with() {
  drive dialog-button "$1"
  drive dialog-gone $dlg || fail "the settings dialog did not close"
  focus
}

start
# Cancel: clamped edits and a slider moved, then nothing kept.
open_settings Settings
expect_text 1000 200 "at opening"
type_into 1000 0
type_into 1038 2000
click_control 1025
xdotool key End
sleep 0.2
look_dialog $dlg
expect_text 1000 1 "width 0"
expect_text 1038 1200 "print resolution 2000"
expect_text 1030 255 "opacity after End"
close_with 2
# The cancelled dialog changed nothing: it opens with the old values.
open_settings Settings
expect_text 1000 200 "width after Cancel"
expect_text 1038 600 "print resolution after Cancel"
expect_text 1030 128 "opacity after Cancel"
# A template that does not exist keeps the dialog open.
type_into 1011 'C:\no\such\template.png'
drive dialog-button 1
drive press ok 5000 || fail "no message about the missing template"
drive dialog-rect $dlg >/dev/null || fail "the dialog closed with a missing template"
focus_dialog Settings
type_into 1011 ''
# OK: the edits, the smoothing slider at its left end, touch drawing on.
type_into 1000 70000
type_into 1036 50
click_control 1029
xdotool key Home
click_control 1047 0.1
sleep 0.2
look_dialog $dlg
expect_text 1000 65535 "width 70000"
expect_text 1036 75 "screen resolution 50"
expect_text 1034 0 "smoothing after Home"
shoot_dialog $dlg settings_dialog_english
close_with 1
shot_panels() {
  local x y w h
  read -r x y w h <<<"$(drive client-rect)"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$1.png" 2>/dev/null
}
# The paper-texture panel: a click on its second row chooses that material.
read -r cx0 cy0 _ _ <<<"$(drive client-rect)"
read -r px py pw ph _ <<<"$(drive child-rect "Paper Tex Window Class")"
shot_panels texture_panels_english
xdotool mousemove $((cx0 + px + pw / 2)) $((cy0 + py + 16 + 8)) click 1
sleep 0.5
stop
expect_setting newcanvascx 65535 "after OK"
expect_setting newcanvascy 150 "after OK"
expect_setting ScreenDPI 75 "after OK"
expect_setting PrintDPI 600 "after OK (its change was cancelled)"
expect_setting WindowOpacity 128 "after OK (its change was cancelled)"
expect_setting CorrectionStrength 0 "after OK"
expect_setting PenEmulation 1 "after OK"
expect_setting TemplateFileName '' "after OK"
[[ $(setting MaterialFileName) != none.bmp ]] || fail "a click on the material panel chose nothing"

# Japanese at UI scale 200: the dialog, the pen setting dialog and the texture panels.
set_settings ResourceFile=Japanese.dll UIScaling=200 show_pensetting=0 show_penlist=0
start
open_settings '環境設定'
shoot_dialog $dlg settings_dialog_japanese
close_with 2
drive post-child "Pen List Window Class" 0x0111 2 0 || fail "no pen list"
drive dialog-rect 1049 >/dev/null || fail "the pen setting dialog did not open"
sleep 0.3
shoot_dialog 1049 pen_dialog_japanese
drive dialog-button 2
shot_panels texture_panels_japanese_200
stop
set_settings ResourceFile=English.dll UIScaling=100 show_pensetting=1 show_penlist=1 CorrectionStrength=3 \
  PenEmulation=0 ScreenDPI=96 newcanvascx=200 MaterialFileName=none.bmp "TemplateFileName=$template"
echo "settings_dialog_test: clamps, Cancel, the missing template and OK checked; panels and dialogs shot"
