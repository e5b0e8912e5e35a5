#!/usr/bin/env bash
# Tablet input end to end under Wine: a test tablet library of our own ("wintab32.dll", built
# from shell/e2e/fake_wintab.cpp) lies beside a copy of the program and plays a pen: a tilted tip
# stroke with a pressure ramp, the eraser end across it, the tip again, and the eraser end
# still in range when the program closes. The program must ask for the pen packets over the
# whole screen in sixteenths of a pixel, read every packet, switch to pen 1 for the eraser end
# (TailSwitch) and back, and put pen 0 back at close. The working canvas it writes must equal,
# pixel for pixel, what `dotwright-cli replay` draws from the same samples on a blank canvas.
# Then, with the library disabled, the program starts on the pointer input without a word,
# saves TabletDriver=1, and the mouse draws.
# Usage: wintab_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1
bin=$2
source "$session/session.env"
export WINEPREFIX DISPLAY WINEDEBUG=-all

fail() { echo "wintab_test: $*" >&2; exit 1; }
fake="$(dirname "$bin")/e2e-fakes/wintab32.dll"
[[ -f $fake ]] || fail "no test tablet library at $fake"
user=$(whoami)
data="$WINEPREFIX/drive_c/users/$user/Pictures/Dotwright"
settings="$data/setting/Dotwright.ini"
shots="$(dirname "$session")/e2e-screenshots"
work="$session/wintab"
rm -rf "$work"
mkdir -p "$work/bin" "$work/keep" "$shots"
winpath() { wine winepath -w "$1" | tr -d '\r'; }

program=""
stop() {
  wine "$bin/dwdrive.exe" close || fail "could not post WM_CLOSE"
  for _ in $(seq 1 200); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && { kill "$program"; fail "still running 20 s after WM_CLOSE"; }
  wait "$program" || fail "exit code $? after WM_CLOSE"
  program=""
}
# What the other tests find stays as it was: the settings file and the working canvas.
restore() {
  [[ -n $program ]] && kill "$program" 2>/dev/null
  [[ -f $work/keep/Dotwright.ini ]] && cp "$work/keep/Dotwright.ini" "$settings"
  if [[ -f $work/keep/canvas.png ]]; then cp "$work/keep/canvas.png" "$data/canvas.png"; else rm -f "$data/canvas.png"; fi
  return 0
}

# A first start writes the settings file when there is none yet.
if [[ ! -f $settings ]]; then
  wine "$bin/Dotwright.exe" &
  program=$!
  wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
  stop
fi
[[ -f $settings ]] || fail "no settings file"
cp "$settings" "$work/keep/"
[[ -f $data/canvas.png ]] && cp "$data/canvas.png" "$work/keep/"
trap restore EXIT

# A blank 240 x 160 canvas shown at scale 1 (print size = screen size), the Wintab driver, the
# eraser-end switch, smoothing 3; pen 0 is the tilt pencil, pen 1 the eraser of all layers, both
# made small; no paper grain.
/usr/bin/python3 - "$settings" <<'PY'
import sys
path = sys.argv[1]
lines = open(path, 'rb').read().decode('utf-8-sig').split('\r\n')
wanted = {'newcanvassize=': '1006', 'newcanvascx=': '240', 'newcanvascy=': '160', 'PrintDPI=': '96',
          'ScreenDPI=': '96', 'TabletDriver=': '0', 'TailSwitch=': '1', 'CorrectionStrength=': '3',
          'numPenSetting=': '0', 'Pen0KindOfPen=': '6', 'Pen0Size=': '24', 'Pen1KindOfPen=': '9',
          'Pen1Size=': '20', 'MaterialFileName=': '', 'AbnormalTerminationCount=': '0'}
seen = set()
out = []
for line in lines:
    for key, value in wanted.items():
        if line.startswith(key):
            line = key + value
            seen.add(key)
    out.append(line)
missing = set(wanted) - seen
assert not missing, missing
open(path, 'wb').write(('\ufeff' + '\r\n'.join(out)).encode('utf-8'))
PY
rm -f "$data/canvas.png"

# The test copy of the program, with the test tablet beside it (Wine loads a library from the
# program's folder before its own when told "native").
cp "$bin/Dotwright.exe" "$fake" "$work/bin/"
cp -r "$bin/language" "$work/bin/"
read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
tablet_w=$((screen_w * 16)) tablet_h=$((screen_h * 16))
cat >"$work/tablet.txt" <<EOF
tablet $tablet_w $tablet_h
pressure 0 2047
orientation 1
play $(winpath "$work/packets.txt")
EOF
DOTWRIGHT_FAKE_TABLET=$(winpath "$work/tablet.txt")
DOTWRIGHT_FAKE_TABLET_LOG=$(winpath "$work/tablet.log")
export DOTWRIGHT_FAKE_TABLET DOTWRIGHT_FAKE_TABLET_LOG
WINEDLLOVERRIDES="wintab32=n" wine "$work/bin/Dotwright.exe" &
program=$!
wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
window=$(xdotool search --sync --name '^Dotwright' | head -1)
[[ -n $window ]] || fail "no X window for the main window"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1
grep -q '^open ' "$work/tablet.log" 2>/dev/null || fail "the program opened no context on the test tablet"
read -r view_x view_y view_w view_h <<<"$(wine "$bin/dwdrive.exe" view-rect | tr -d '\r')"

# The pen's path in canvas pixels, turned into device units: at scale 1, straight, canvas (x, y)
# is shown at the view's client origin + client size / 2 - canvas size / 2 (integer halves).
/usr/bin/python3 - "$work" "$view_x" "$view_y" "$view_w" "$view_h" "$tablet_h" <<'PY'
import sys
work, vx, vy, vw, vh, tablet_h = sys.argv[1], *map(int, sys.argv[2:])
ox, oy = vx + vw // 2 - 240 // 2, vy + vh // 2 - 160 // 2
lines, expected = [], []
def packet(x, y, p, az, alt):
    sx, sy = round((ox + x) * 16), round((oy + y) * 16)
    expected.append((sx, sy))
    lines.append('packet %d %d %d %d %d' % (sx, tablet_h - 1 - sy, p, az, alt))
def stroke(x0, y0, x1, y1, n, alt0, alt1):
    packet(x0, y0, 0, 900, alt0)  # hovering
    for i in range(n + 1):
        t = i / n
        p = round(2047 * min(1.0, 0.1 + 1.8 * min(t, 1 - t)))  # ramps up, then down
        packet(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, p, (300 + 3000 * i // n) % 3600, round(alt0 + (alt1 - alt0) * t))
    packet(x1, y1, 0, 900, alt1)
lines.append('proximity 1')
stroke(30.5, 50.25, 210.0, 110.75, 36, 300, 800)      # the tip, tilted more and more upright
lines.append('proximity 0')
lines.append('proximity 1')
stroke(120.0, 15.0, 124.5, 145.0, 30, -600, -450)     # the eraser end across it
lines.append('proximity 0')
lines.append('proximity 1')
stroke(35.0, 135.0, 205.0, 128.0, 30, 700, 400)       # the tip again
lines.append('proximity 0')
lines.append('proximity 1')
packet(100, 80, 0, 900, -500)                          # the eraser end hovers when the program closes
packet(101, 80, 0, 900, -500)
open(work + '/expected.txt', 'w').write(''.join('%d %d\n' % e for e in expected))
open(work + '/packets.tmp', 'w').write('\n'.join(lines) + '\n')
PY
mv "$work/packets.tmp" "$work/packets.txt"  # whole, at once: the tablet starts playing when it appears
for _ in $(seq 1 600); do grep -q '^done' "$work/tablet.log" && break; sleep 0.1; done
grep -q '^done' "$work/tablet.log" || fail "the test tablet did not finish playing (see $work/tablet.log)"
sleep 0.5
import -window root "$shots/wintab_test.png" 2>/dev/null || true
title=$(wine "$bin/dwdrive.exe" title | tr -d '\r')
[[ $title == *' *' ]] || fail "title after the tablet strokes is '$title', expected the unsaved mark"
stop

# The context, every packet read at its place, the pen put back, the library closed.
/usr/bin/python3 - "$work" "$settings" "$screen_w" "$screen_h" <<'PY' || fail "see above"
import re, sys
work, settings, screen_w, screen_h = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
log = open(work + '/tablet.log').read().splitlines()
opened = [l for l in log if l.startswith('open ')]
assert len(opened) == 1, opened
fields = dict(re.findall(r'(\w+)=(\S+(?: -?\d+){0,3})', opened[0]))
assert int(fields['options'], 16) & 0x5 == 0x5, fields
assert fields['base'] == '0x7FF0' and fields['data'] == '0x15C0' and fields['mode'] == '0x40' and fields['move'] == '0x15C0', fields
assert fields['out'] == '0 0 %d %d' % (screen_w * 16, -screen_h * 16), fields['out']
assert fields['name'] == 'test', fields
assert not [l for l in log if l.startswith('timeout')], 'packets the program never read: %s' % [l for l in log if l.startswith('timeout')]
read = [tuple(map(int, l.split()[2:4])) for l in log if l.startswith('packet ')]
expected = [tuple(map(int, l.split())) for l in open(work + '/expected.txt')]
assert read == expected, 'packets reported at other places than the pen was'
assert log[-2:] == ['close', 'mtquit'], log[-3:]
ini = open(settings, 'rb').read().decode('utf-8-sig').split('\r\n')
assert 'numPenSetting=0' in ini, [l for l in ini if l.startswith('numPenSetting')]
print('wintab_test: %d packets read where the pen was; pen 0 put back at close' % len(read))
PY

# The same samples through the command-line replay on a blank canvas, with the settings' pens.
# The program lays its paper grain (MaterialFileName of the material folder) under the pencils.
/usr/bin/python3 - "$work" "$settings" "$(winpath "$data/material")" "$view_x" "$view_y" "$view_w" "$view_h" <<'PY' || fail "see above"
import sys
work, settings, materials, vx, vy, vw, vh = sys.argv[1], sys.argv[2], sys.argv[3], *map(int, sys.argv[4:])
ox, oy = vx + vw // 2 - 240 // 2, vy + vh // 2 - 160 // 2
ini = open(settings, 'rb').read().decode('utf-8-sig').split('\r\n')
def pen_fields(slot):
    prefix = 'Pen%d' % slot
    out = []
    for line in ini:
        if line.startswith(prefix) and not line[len(prefix)].isdigit() and '=' in line:
            key, value = line[len(prefix):].split('=', 1)
            if value and not any(c.isspace() for c in value):
                out.append('%s=%s' % (key, value))
    return 'pen ' + ' '.join(out)
packets = [list(map(int, l.split()[2:7])) for l in open(work + '/tablet.log') if l.startswith('packet ')]
def script(tail_switch):
    material = next(l.split('=', 1)[1] for l in ini if l.startswith('MaterialFileName='))
    lines = ['maxpressure 2047', 'correction 3'] + (['material %s\\%s' % (materials, material)] if material else [])
    lines.append(pen_fields(0))
    tail, pen1_set = False, False
    for x, y, p, az, alt in packets:
        if alt < 0 and not tail:
            tail = True
            if tail_switch:
                lines.append('select 1')
                if not pen1_set:
                    lines.append(pen_fields(1))
                    pen1_set = True
        elif alt >= 0 and tail:
            tail = False
            if tail_switch:
                lines.append('select 0')
        lines.append('move %r %r %r %d %d' % (x / 16 - ox, y / 16 - oy, p / 2047, az, alt))
    return '\n'.join(lines) + '\n'
open(work + '/replay.txt', 'w').write(script(True))
open(work + '/replay-no-switch.txt', 'w').write(script(False))
PY
cli="$bin/dotwright-cli.exe"
wine "$cli" new 240 160 "$(winpath "$work/blank.png")" >/dev/null || fail "dotwright-cli new failed"
# One run of the CLI in CI once ended with a failure status and printed nothing, which no rerun
# here reproduced (hundreds of runs, loaded and idle). Its status and output are shown, and it
# gets one more try, so that a one-off failure of Wine is told apart from a replay that fails;
# a failure the second try mends is listed at the end of the test command's output.
replay() {
  local name=$1 status=0
  wine "$cli" replay "$(winpath "$work/blank.png")" "$(winpath "$work/$name.txt")" "$(winpath "$work/$name.png")" \
    >"$work/$name.out" 2>"$work/$name.err" || status=$?
  if ((status != 0)); then
    echo "wintab_test: dotwright-cli replay $name.txt exited with status $status; its output:" >&2
    cat "$work/$name.out" "$work/$name.err" >&2
  fi
  return "$status"
}
for name in replay replay-no-switch; do
  first=0
  replay "$name" || first=$?
  if ((first != 0)); then
    replay "$name" || fail "dotwright-cli replay $name.txt failed twice"
    echo "wintab_test: dotwright-cli replay $name.txt failed once (status $first), then passed" |
      tee -a "$(dirname "$session")/e2e-warnings.txt" >&2
  fi
done
/usr/bin/python3 - "$data/canvas.png" "$work/replay.png" "$work/replay-no-switch.png" <<'PY' || fail "the working canvas is not the replay of the tablet's samples"
import sys
from PIL import Image
def pixels(path):
    image = Image.open(path)
    assert image.mode == 'P' and image.size == (240, 160), (path, image.mode, image.size)
    return list(image.getdata())
drawn, replayed, unswitched = map(pixels, sys.argv[1:4])
painted = sum(v != 0xFF for v in drawn)
assert painted > 1000, 'only %d painted pixels' % painted
differ = [(i % 240, i // 240) for i, (a, b) in enumerate(zip(drawn, replayed)) if a != b]
assert not differ, '%d pixels differ from the replay, first %s' % (len(differ), differ[:5])
assert drawn != unswitched, 'the eraser end drew as pen 0 would'
print('wintab_test: %d painted pixels equal the replay; the eraser end erased as pen 1' % painted)
PY

# Without a tablet library the program falls back to the pointer input silently and keeps to it
# (TabletDriver=1 is saved); where the system sends no pen pointers, the mouse draws.
count_painted() {
  /usr/bin/python3 -c 'import sys; from PIL import Image; print(sum(v != 0xFF for v in Image.open(sys.argv[1]).getdata()))' "$1"
}
before=$(count_painted "$data/canvas.png")
WINEDLLOVERRIDES="wintab32=d" wine "$work/bin/Dotwright.exe" &
program=$!
wine "$bin/dwdrive.exe" wait 30000 || fail "no main window without a tablet library"
window=$(xdotool search --sync --name '^Dotwright' | head -1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1
read -r view_x view_y view_w view_h <<<"$(wine "$bin/dwdrive.exe" view-rect | tr -d '\r')"
ox=$((view_x + view_w / 2 - 120)) oy=$((view_y + view_h / 2 - 80))
xdotool mousemove $((ox + 20)) $((oy + 150)) mousedown 1
for x in $(seq 30 10 220); do xdotool mousemove $((ox + x)) $((oy + 150)); sleep 0.02; done
xdotool mouseup 1
sleep 0.5
if wine "$bin/dwdrive.exe" press ok 300 2>/dev/null; then fail "a message box came up while the mouse drew"; fi
stop
after=$(count_painted "$data/canvas.png")
((after > before)) || fail "the mouse drew nothing without a tablet library ($before painted pixels before, $after after)"
grep -q $'^TabletDriver=1\r$' "$settings" || fail "TabletDriver is not 1 after a start without a tablet library"
echo "wintab_test: the tablet's pen drew as the replay of its samples; without the library the mouse drew"
