# Shared by the pen panel tests (sourced after e2e_common.sh): settings values, expectations,
# window boxes on the screen, clicks, and the check that a panel drew something; the settings
# the tests change are kept in `restore` and written back by restore_settings.
setting() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
expect() { [[ $2 == "$3" ]] || fail "$1: '$2', expected '$3'"; }
# rect CLASS [ID]: x y (screen) w h visible of the first such window.
rect() {
  local out cx cy
  out=$(drive child-rect "$@") || fail "no window $*"
  read -r cx cy _ _ <<<"$(drive client-rect)"
  read -r x y w h _ _ visible _ <<<"$out"
  x=$((cx + x)) y=$((cy + y))
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
# Every listed box (screen x y w h) of the screenshot shows more than one colour.
drawn() {
  /usr/bin/python3 - "$shots/$1" "${@:2}" <<'PY' || fail "$1: an empty panel"
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert('RGB')
for box in sys.argv[2:]:
    x, y, w, h = map(int, box.split(','))
    colours = image.crop((x + 2, y + 2, x + w - 2, y + h - 2)).getcolors(1 << 20)
    if colours is None or len(colours) < 3:
        sys.exit('%s: the box %s shows %s colours' % (sys.argv[1], box, colours and len(colours)))
PY
}

keys=(UIScaling ResourceFile newcanvassize newcanvascx newcanvascy view_panel_right SeparatePanel hide_panel
      ShowEasyPanel show_tabinfo show_loupe show_Icon show_pensetting show_layersetting show_penlist
      ShowColorPicker numPenSetting Pen0Name Pen0Size Pen0Hardness Pen0EnablePalette)
[[ -f $settings ]] || { start; stop; }
restore=()
for k in "${keys[@]}"; do restore+=("$k=$(setting "$k")"); done
restore_settings() { set_settings "${restore[@]}"; }
# A small blank canvas, the column docked on the left with the icon window, the pen window and
# the pen list, pen 0 current; then KEY=VALUE pairs given.
pen_settings() {
  rm -f "$data/canvas.png"
  set_settings newcanvassize=1006 newcanvascx=800 newcanvascy=600 view_panel_right=0 SeparatePanel=0 hide_panel=0 \
               ShowEasyPanel=0 show_tabinfo=0 show_loupe=0 show_Icon=1 show_pensetting=1 show_layersetting=0 \
               show_penlist=1 ShowColorPicker=0 numPenSetting=0 "$@"
}
