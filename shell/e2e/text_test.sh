#!/usr/bin/env bash
# Text on the canvas under Wine: a canvas whose layer 0 is locked is opened by name; the text
# dialog (Edit > Text) takes "Hi" at 40 pixels at (10, 20) and OK paints nothing. With the layer
# unlocked the same text paints layer 0 only, inside the text's box, and saving keeps it.
# Usage: text_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=text_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/dialog_common.sh"
scratch=$(mktemp -d)
trap '[[ -n $program ]] && kill "$program" 2>/dev/null; rm -rf "$scratch"' EXIT
canvas=$scratch/text.png

# A 300 x 200 canvas with layer 0 locked (1) or not (0).
make_canvas() {
  wine "$bin/dotwright-cli.exe" new 300 200 "$(winpath "$canvas")" >/dev/null 2>&1 || fail "cli new failed"
  /usr/bin/python3 - "$canvas" "$1" <<'PY'
import sys
from PIL import Image, PngImagePlugin
path, locked = sys.argv[1], sys.argv[2]
image = Image.open(path)
rows = image.text['Description'].rstrip('\n').split('\n')
fields = rows[0].split(',')
fields[4] = locked
rows[0] = ','.join(fields)
info = PngImagePlugin.PngInfo()
info.add_text('Description', '\n'.join(rows) + '\n')
image.save(path, pnginfo=info)
PY
}
# The text dialog: "Hi", 40 pixels high, at (10, 20), OK.
stamp_text() {
  drive command 40110 >/dev/null
  look_dialog 1048
  focus_dialog Text
  type_into 1048 Hi
  type_into 1000 40
  type_into 1003 10
  type_into 1011 20
  [[ -z ${1:-} ]] || shoot_screen "$1"
  drive dialog-button 1 >/dev/null || fail "no OK button"
  sleep 0.5
  focus
}
shoot_screen() { import -window root "$shots/$1" 2>/dev/null || fail "no screenshot $1"; }
# Painted pixels of the canvas file: "COUNT VALUES LEFT TOP RIGHT BOTTOM".
painted() {
  check_png "$canvas"
  /usr/bin/python3 - "$canvas" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1])
w, h = image.size
data = image.load()
points = [(x, y, data[x, y]) for y in range(h) for x in range(w) if data[x, y] != 255]
if not points:
    print(0, '-', 0, 0, 0, 0)
else:
    print(len(points), ','.join(sorted({'%02X' % p[2] for p in points})), min(p[0] for p in points),
          min(p[1] for p in points), max(p[0] for p in points), max(p[1] for p in points))
PY
}

make_canvas 1
start "$(winpath "$canvas")"
stamp_text text_dialog.png

stop
read -r count _ <<<"$(painted)"
[[ $count == 0 ]] || fail "text painted $count pixels on a locked layer"

make_canvas 0
start "$(winpath "$canvas")"
stamp_text
drive command 40004 >/dev/null  # save
sleep 0.5
shoot_screen text_saved.png
# A canvas with an undo history still asks at the close, saved or not.
drive close >/dev/null || fail "could not post WM_CLOSE"
drive press no >/dev/null || fail "no question at the close"
wait_exit
read -r count values left top right bottom <<<"$(painted)"
(( count > 20 )) || fail "the text painted $count pixels"
[[ $values == FE ]] || fail "the text painted values $values, not layer 0 alone"
(( left >= 10 && top >= 20 && right < 300 && bottom < 60 )) || fail "the text lies at $left,$top..$right,$bottom"
