# Shared by the dialog tests (sourced after e2e_common.sh, not a test itself): driving the
# controls of one of the program's dialogs with the mouse and the keyboard. A dialog is named by
# a control only it holds (DLG below), as the dwdrive dialog verbs find it. Each helper call is
# a program start under Wine, so the dialog's controls are read in one call (look_dialog) and
# the checks and clicks use that reading.

# Reads every control of dialog DLG (waiting for it): "C X Y W H ENABLED TEXT" lines.
look_dialog() { controls=$(drive dialog-controls "$1") || fail "no dialog with control $1"; }
control_field() {
  awk -v c="$1" -v f="$2" '$1 == c { t = $0; for (i = 1; i < 7; ++i) sub(/^[^ ]* /, "", t); print (f == 7 ? t : $f); exit }' \
    <<<"$controls"
}
# The dialog's X window gets the keyboard (without a window manager nothing gives it).
focus_dialog() {
  local title=$1 id
  id=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
  [[ -n $id ]] || fail "no X window for the dialog '$title'"
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.2
}
# Clicks control C of the dialog read last, at fraction F of its width (default 0.5).
click_control() {
  local x y w h
  x=$(control_field "$1" 2) y=$(control_field "$1" 3) w=$(control_field "$1" 4) h=$(control_field "$1" 5)
  [[ -n $x ]] || fail "no control $1"
  xdotool mousemove "$(awk -v x="$x" -v w="$w" -v f="${2:-0.5}" 'BEGIN { printf "%d", x + w * f }')" $((y + h / 2)) click 1
  sleep 0.15
}
# Types TEXT into edit C in place of what it holds, then leaves it with Tab.
type_into() {
  click_control "$1"
  xdotool key Home shift+End Delete
  [[ -z $2 ]] || xdotool type --delay 15 -- "$2"
  xdotool key Tab
  sleep 0.15
}
# Checks control C of the dialog read last: its text (expect_text) or enabled state.
expect_text() {
  local got
  got=$(control_field "$1" 7)
  [[ $got == "$2" ]] || fail "$3: control $1 shows '$got', expected '$2'"
}
expect_enabled() {
  local got
  got=$(control_field "$1" 6)
  [[ $got == "$2" ]] || fail "$3: control $1 enabled=$got, expected $2"
}
# Saves dialog DLG as $shots/NAME.png.
shoot_dialog() {
  local x y w h
  read -r x y w h <<<"$(drive dialog-rect "$1")"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$2.png" 2>/dev/null
}
setting() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
expect_setting() {
  local got
  got=$(setting "$1")
  [[ $got == "$2" ]] || fail "$3: $1=$got in the settings file, expected $2"
}
