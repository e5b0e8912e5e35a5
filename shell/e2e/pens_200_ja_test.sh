#!/usr/bin/env bash
# The pen panels at UI scale 200 in Japanese under Wine: the pen window's bars twice as high,
# the pen selector opened with Q twice as large (and put away with Escape), the easy panel shown; every one of them drew
# something. Screenshot: pens_200_ja.png.
# Usage: pens_200_ja_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=pens_200_ja_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/pens_common.sh"

pen_settings UIScaling=200 ResourceFile=Japanese.dll ShowEasyPanel=1
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
selector_box="$x,$y,$w,$h"
rect "Easy Panel Window Class"
expect "easy panel at 200 %" "$visible" 1
import -window root "$shots/pens_200_ja.png"
drawn pens_200_ja.png "$pen_box" "$selector_box" "$x,$y,$w,$h"
xdotool key Escape
sleep 0.3
rect "Pen Floating Window Class"
expect "selector after Escape" "$visible" 0
stop
restore_settings
echo "pens_200_ja_test: passed"
