#!/usr/bin/env bash
# The file commands end to end: Ctrl+S archives a time-stamped copy and updates the working
# canvas; Save As names a file (file mode); closing with unsaved changes asks, and Cancel keeps
# the program running; a canvas named on the command line opens in file mode; the previous and
# next file keys walk the working folder and come back to the working canvas; the PSD and
# picture exports write files other programs read; a PNG dragged onto the window opens, a .bmp
# does not.
# Usage: file_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=file_test
source "$(dirname "$0")/e2e_common.sh"

set_settings newcanvassize=1006 newcanvascx=200 newcanvascy=150
rm -f "$data"/*.png "$data"/*.psd
painted() {  # painted pixels of a canvas file
  check_png "$1"
  /usr/bin/python3 -c 'import sys
from PIL import Image
i = Image.open(sys.argv[1]); w, h = i.size
print(sum(1 for y in range(h) for x in range(w) if i.getpixel((x, y)) != 255))' "$1"
}

start
stroke
[[ $(title) == *' *' ]] || fail "no unsaved mark after drawing: '$(title)'"
xdotool key --window "$window" ctrl+s
sleep 1
archives=("$data"/[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9].png)
[[ ${#archives[@]} == 1 && -f ${archives[0]} ]] || fail "Ctrl+S left no single time-stamped copy: ${archives[*]}"
archive=${archives[0]}
[[ -f $data/canvas.png ]] || fail "Ctrl+S did not write the working canvas"
cmp -s <(/usr/bin/python3 -c 'import sys; from PIL import Image; print(list(Image.open(sys.argv[1]).getdata()))' "$archive") \
       <(/usr/bin/python3 -c 'import sys; from PIL import Image; print(list(Image.open(sys.argv[1]).getdata()))' "$data/canvas.png") ||
  fail "the archive and the working canvas differ"
(( $(painted "$archive") > 0 )) || fail "the archive holds no stroke"
[[ $(title) != *' *' ]] || fail "the unsaved mark stayed after Ctrl+S: '$(title)'"

# Save As names a file; the title shows it.
drive command 40005
sleep 1
import -window root "$shots/save_as_dialog.png" 2>/dev/null || true
drive file-dialog "$(winpath "$data/mine.png")" || fail "no save dialog"
sleep 1
[[ $(title) == *mine.png ]] || fail "title after Save As is '$(title)'"
[[ -f $data/mine.png ]] || fail "Save As wrote no file"
focus

# A second stroke, then close: the question comes, Cancel keeps the program and the stroke.
stroke 6  # the 200 x 150 canvas shows 32 x 24 pixels at the print-size scale
drive close
drive press cancel || fail "no question before closing with unsaved changes"
sleep 1
kill -0 "$program" 2>/dev/null || fail "the program ended although the close was cancelled"
[[ $(title) == *mine.png' *' ]] || fail "title after the cancelled close is '$(title)'"
focus
xdotool key --window "$window" ctrl+s
sleep 1
(( $(painted "$data/mine.png") > $(painted "$archive") )) || fail "Ctrl+S in file mode did not save the second stroke"
drive close
drive press no || fail "no question at the close after drawing"
wait_exit

# A canvas named on the command line opens in file mode; the previous file (Left) is the archive
# (names sort before "mine.png"), next (Right) comes back to mine.png and then to the working canvas.
start "$(winpath "$data/mine.png")"
[[ $(title) == *mine.png ]] || fail "the named canvas did not open in file mode: '$(title)'"
xdotool key --window "$window" Left
sleep 1
[[ $(title) == *"$(basename "$archive")" ]] || fail "Left did not open the previous file: '$(title)'"
xdotool key --window "$window" Right
sleep 0.5
xdotool key --window "$window" Right
sleep 1
[[ $(title) == *'- ' ]] || fail "Right past the last file did not come back to the working canvas: '$(title)'"

# New from the clipboard's file list: the copied file opens in file mode.
drive clip-file "$(winpath "$data/mine.png")" || fail "could not put a file list on the clipboard"
drive command 40003
sleep 1
[[ $(title) == *mine.png ]] || fail "new from the clipboard did not open the copied file: '$(title)'"

# Exports, read back by independent readers.
drive command 40009
drive file-dialog "$(winpath "$data/out.psd")" || fail "no PSD dialog"
drive command 40008
drive file-dialog "$(winpath "$data/picture.png")" || fail "no export dialog"
sleep 2
[[ $(head -c 4 "$data/out.psd") == 8BPS ]] || fail "the PSD export is not a PSD file"
check_png "$data/picture.png"
/usr/bin/python3 - "$data/picture.png" <<'PY' || fail "the picture export is not the view's picture"
import sys
from PIL import Image
image = Image.open(sys.argv[1])
assert image.mode == 'RGB', image.mode
assert image.size[0] > 100 and image.size[1] > 100, image.size
print('file_test: picture %dx%d' % image.size)
PY

# Files dragged from another program's window (the test helper's, standing in for a folder) onto
# the view: a PNG opens in file mode, a .bmp is ignored.
drag_file() {
  local sx=$((X + WIDTH - 230)) sy=$((Y + 60)) log=$data/drag.log step
  : >"$log"
  wine "$bin/dwdrive.exe" drag-file "$sx" "$sy" 20000 "$(winpath "$1")" >"$log" &
  local source=$!
  for _ in $(seq 1 100); do grep -q ready "$log" && break; sleep 0.1; done
  grep -q ready "$log" || fail "the drag source did not come up"
  xdotool mousemove $((sx + 100)) $((sy + 100)) mousedown 1
  sleep 0.3
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((sx + 100 + (X + cx - sx - 100) * step / 8)) $((sy + 100 + (Y + cy - sy - 100) * step / 8))
    sleep 0.1
  done
  xdotool mouseup 1
  wait "$source" || fail "the drag of $1 did not end in a drop: $(cat "$log")"
  rm -f "$log"
  sleep 1
}
/usr/bin/python3 -c 'import sys; from PIL import Image; Image.new("RGB", (30, 20)).save(sys.argv[1])' "$data/picture.bmp"
drag_file "$archive"
[[ $(title) == *"$(basename "$archive")" ]] || fail "a dropped PNG did not open: '$(title)'"
drag_file "$data/picture.bmp"
[[ $(title) == *"$(basename "$archive")" ]] || fail "a dropped .bmp changed the canvas: '$(title)'"
rm -f "$data/picture.bmp"
import -window root "$shots/file_test.png" 2>/dev/null || true
stop
echo "file_test: save, save as, the close question, file mode, previous/next and both exports work"
