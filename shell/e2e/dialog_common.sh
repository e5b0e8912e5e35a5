# Shared by the dialog tests (sourced after e2e_common.sh, not a test itself): driving the
# controls of one of the program's dialogs with the mouse and the keyboard. A dialog is named by
# a control only it holds (DLG below), as the dwdrive dialog verbs find it.

# The dialog's X window gets the keyboard (without a window manager nothing gives it).
focus_dialog() {
  local title=$1 id
  id=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
  [[ -n $id ]] || fail "no X window for the dialog '$title'"
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.2
}
# Clicks the middle of control C of dialog DLG (at fraction F of its width, default 0.5).
click_control() {
  local x y w h
  read -r x y w h <<<"$(drive dialog-control-rect "$1" "$2")" || fail "no control $2"
  xdotool mousemove "$(awk -v x="$x" -v w="$w" -v f="${3:-0.5}" 'BEGIN { printf "%d", x + w * f }')" $((y + h / 2)) click 1
  sleep 0.2
}
# Types TEXT into edit C in place of what it holds, then leaves it with Tab.
type_into() {
  click_control "$1" "$2"
  xdotool key End $(printf 'BackSpace %.0s' $(seq 1 40))
  xdotool type --delay 20 "$3"
  xdotool key Tab
  sleep 0.3
}
text_of() { drive dialog-text "$1" "$2"; }
expect_text() {
  local got
  got=$(text_of "$1" "$2")
  [[ $got == "$3" ]] || fail "$4: control $2 shows '$got', expected '$3'"
}
# Saves the dialog as $shots/NAME.png.
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
