#!/usr/bin/env bash
# Printing under Wine to a PDF printer: a private CUPS scheduler with one cups-pdf queue, started
# for this test and stopped after. An 8000 x 2000 canvas with a one-pixel row and a one-pixel
# column is printed fitted to the page (a 3.2-fold reduction: both lines must survive) and at
# actual size (the page shows the canvas's centre, the edges cut off); each PDF is rendered to
# PNG and the lines are found where the page placement puts them. Cancelling the print dialog
# prints nothing.
# Usage: print_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=print_test
source "$(dirname "$0")/e2e_common.sh"
source "$(dirname "$0")/dialog_common.sh"

# cups-pdf runs only as root and reads its queue's settings from /etc/cups.
for tool in cupsd lpadmin pdftoppm; do
  command -v "$tool" >/dev/null || { echo "$name: skipped: $tool is not installed"; exit 77; }
done
[[ -x /usr/lib/cups/backend/cups-pdf && $(id -u) -eq 0 && -w /etc/cups ]] ||
  { echo "$name: skipped: needs root and the cups-pdf backend"; exit 77; }

print_setting_before=$( (tr -d '\r' <"$settings" | sed -n 's/^PrintSetting=//p') 2>/dev/null || true)
scratch=$(mktemp -d /tmp/dwprint.XXXXXX)
chmod 755 "$scratch"
queue=dwtest$$
queue_conf=/etc/cups/cups-pdf-$queue.conf
cupsd_pid=
cleanup() {
  [[ -n $program ]] && kill "$program" 2>/dev/null
  [[ -n $cupsd_pid ]] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
  rm -f "$queue_conf"
  rm -rf "$scratch"
}
trap cleanup EXIT

# The scheduler: its own folders, a local socket, no sharing, no web pages.
mkdir -p "$scratch"/{spool,cache,state,log,out}
cat >"$scratch/cupsd.conf" <<EOF
Listen $scratch/cups.sock
WebInterface No
Browsing Off
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
EOF
cat >"$scratch/cups-files.conf" <<EOF
ServerRoot $scratch
RequestRoot $scratch/spool
CacheDir $scratch/cache
StateDir $scratch/state
ErrorLog $scratch/log/error_log
AccessLog $scratch/log/access_log
PageLog $scratch/log/page_log
EOF
echo "Out $scratch/out" >"$queue_conf"
cupsd -f -c "$scratch/cupsd.conf" -s "$scratch/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER=$scratch/cups.sock
for _ in $(seq 1 50); do [[ -S $CUPS_SERVER ]] && break; sleep 0.1; done
lpadmin -p "$queue" -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null ||
  fail "could not add the PDF printer"
lpadmin -d "$queue" || fail "could not make the PDF printer the default"

# The canvas: paper with a row at y = 1001 on layer 0 and a column at x = 4000 on layer 0.
canvas=$scratch/lines.png
wine "$bin/dotwright-cli.exe" new 8000 2000 "$(winpath "$canvas")" >/dev/null 2>&1 || fail "cli new failed"
/usr/bin/python3 - "$canvas" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1])
for x in range(8000):
    image.putpixel((x, 1001), 254)
for y in range(2000):
    image.putpixel((4000, y), 254)
image.save(sys.argv[1])
PY

# print_page PDF: prints through the dialog's OK and waits for the PDF the queue writes.
pdf_count() { find "$scratch/out" -name '*.pdf' | wc -l; }
print_page() {
  local before
  before=$(pdf_count)
  drive command 40013 >/dev/null
  # The print dialog is the one with the printer list (1139).
  drive dialog-rect 1139 >/dev/null || fail "no print dialog"
  shoot_dialog 1139 print_dialog
  drive dialog-button 1 >/dev/null || fail "could not press OK"
  for _ in $(seq 1 300); do (( $(pdf_count) > before )) && break; sleep 0.2; done
  (( $(pdf_count) > before )) || fail "no PDF came out of the printer: $(tail -5 "$scratch/log/error_log" 2>/dev/null)"
  sleep 0.5  # the backend renames the finished file into place; let it close
  ls -t "$scratch"/out/*.pdf | head -1 | xargs -I{} cp {} "$1"
}

# check_page PDF MODE: the rendered page (300 dpi, the printer's resolution) has one dark row
# and one dark column where the placement of MODE (fit or actual) puts the canvas's lines,
# each within 3 pixels and long enough to be the whole line, and little else dark.
check_page() {
  pdftoppm -r 300 -gray -png -singlefile "$1" "${1%.pdf}" || fail "could not render $1"
  cp "${1%.pdf}.png" "$shots/print_$2.png"
  /usr/bin/python3 - "${1%.pdf}.png" "$2" <<'PY' || fail "the printed page of $1 is wrong"
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert('L')
w, h = image.size
def c_div(a, b):  # integer division towards zero, as the program's
    return -((-a) // b) if a < 0 else a // b
if sys.argv[2] == 'fit':
    # 8000 x 2000 is wider than any page: full width, height rounded, centred vertically.
    x0, width, height = 0, w, int(w / 4.0 + 0.5)
    y0 = (h - height) // 2
    row = y0 + 1001 * height // 2000
    column = max(i for i in range(width) if i * 8000 // width <= 4000)
else:
    x0, y0, width, height = c_div(w - 8000, 2), c_div(h - 2000, 2), 8000, 2000
    row, column = y0 + 1001, x0 + 4000
row_span, column_span = min(w, width) * 9 // 10, min(h, height) * 9 // 10
pixels = image.load()
dark_rows = [y for y in range(h) if sum(pixels[x, y] < 128 for x in range(0, w, 2)) * 2 >= row_span]
dark_columns = [x for x in range(w) if sum(pixels[x, y] < 128 for y in range(0, h, 2)) * 2 >= column_span]
print('page %dx%d: dark rows %s (%d expected), dark columns %s (%d expected)' % (w, h, dark_rows, row, dark_columns, column))
if not dark_rows or any(abs(y - row) > 3 for y in dark_rows):
    sys.exit('expected one dark row near %d' % row)
if not dark_columns or any(abs(x - column) > 3 for x in dark_columns):
    sys.exit('expected one dark column near %d' % column)
dark = sum(1 for v in image.getdata() if v < 128)
if dark > 3 * (min(w, width) + min(h, height)):
    sys.exit('%d dark pixels: more than the two lines' % dark)
PY
}

# Fitted (on an A4 page at 300 dpi, 2479 x 3508: the picture is 2479 wide and 620 high from
# row 1444; canvas row 1001 falls in its row 310, column 4000 in page column 1239).
set_settings PrintSetting=0
start "$(winpath "$canvas")"
print_page "$scratch/fit.pdf"
check_page "$scratch/fit.pdf" fit

# Cancelled: nothing comes out.
before=$(pdf_count)
drive command 40013 >/dev/null
drive dialog-rect 1139 >/dev/null || fail "no print dialog to cancel"
drive dialog-button 2 >/dev/null || fail "could not press Cancel"
sleep 3
(( $(pdf_count) == before )) || fail "a cancelled print printed"
stop

# Actual size (on A4 the canvas stands at (2479 - 8000) / 2 = -2760, (3508 - 2000) / 2 = 754).
set_settings PrintSetting=1
start "$(winpath "$canvas")"
print_page "$scratch/actual.pdf"
check_page "$scratch/actual.pdf" actual
stop
set_settings PrintSetting="${print_setting_before:-0}"
