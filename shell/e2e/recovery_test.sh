#!/usr/bin/env bash
# Recovery after an abnormal end: a stroke not saved anywhere is copied to setting/recovery.png in
# the background within the recovery interval; the program is killed (so the working canvas is
# never written); the next start offers the copy, Yes brings the stroke back (unsaved, in
# working-canvas mode), and the orderly close writes it to the working canvas and removes the copy.
# Usage: recovery_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=recovery_test
source "$(dirname "$0")/e2e_common.sh"

set_settings newcanvassize=1006 newcanvascx=200 newcanvascy=150 RecoveryInterval=5 AbnormalTerminationCount=0
copy="$data/setting/recovery.png"
rm -f "$data/canvas.png" "$copy"
painted() {
  check_png "$1"
  /usr/bin/python3 -c 'import sys
from PIL import Image
i = Image.open(sys.argv[1]); w, h = i.size
print(sum(1 for y in range(h) for x in range(w) if i.getpixel((x, y)) != 255))' "$1"
}

start
stroke
for _ in $(seq 1 100); do [[ -f $copy ]] && break; sleep 0.1; done
[[ -f $copy ]] || fail "no recovery copy 10 s after a stroke with a 5 s interval"
sleep 1  # the copy is written through a temporary file; let the rename land
(( $(painted "$copy") > 0 )) || fail "the recovery copy holds no stroke"
kill -9 "$program"
drive wait-gone 20000 || fail "the killed program's window stayed"
program=
[[ ! -f $data/canvas.png ]] || fail "the killed run wrote the working canvas"

# The offer comes while the window is being created, before it shows.
wine "$bin/Dotwright.exe" &
program=$!
drive press yes 30000 || fail "no offer of the recovery copy"
drive wait 30000 >/dev/null || fail "no main window after the offer"
sleep 1
[[ $(title) == *' *' ]] || fail "the restored drawing is not marked unsaved: '$(title)'"
import -window root "$shots/recovery_restored.png" 2>/dev/null || true
stop
[[ -f $data/canvas.png ]] || fail "the close did not write the restored drawing"
(( $(painted "$data/canvas.png") > 0 )) || fail "the working canvas lacks the restored stroke"
[[ ! -f $copy ]] || fail "the orderly close left the recovery copy"
grep -q $'^AbnormalTerminationCount=0\r' "$settings" || fail "the count was not cleared at the close"
set_settings RecoveryInterval=120  # the later tests run with the default
echo "recovery_test: the killed run's stroke came back from its recovery copy"
