#!/usr/bin/env bash
# Menus and languages end to end under Wine: the main window starts with a menu bar from its
# language library; the language menu's command for the other library redraws the menu bar
# with other texts at run time; the choice is written to the settings file and loaded at the
# next start; switching back restores the first menu bar pixel for pixel. A screenshot of each
# language, with its file menu open, lands in the e2e screenshot folder.
#
# Under Wine another process cannot read a window's menu items, so the texts are compared as
# the pixels of the menu bar strip above the client area.
# Usage: menu_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1 bin=$2 name=menu_test
source "$(dirname "$0")/e2e_common.sh"

[[ -f $bin/language/English.dll && -f $bin/language/Japanese.dll ]] || fail "no language libraries in $bin/language"

dw() { drive "$@"; }
# Started without taking the keyboard: the menu bar is read as pixels only.
start() {
  wine "$bin/Dotwright.exe" &
  program=$!
  dw wait 30000 >/dev/null || fail "no main window"
  [[ $(dw menu) == menu ]] || fail "the main window has no menu bar"
  read -r client_x client_y client_w _ <<<"$(dw client-rect)"
  sleep 0.5
}

# A digest of the menu bar: the 18 rows of the screen just above the client area.
strip() {
  import -window root -crop "${client_w}x18+${client_x}+$((client_y - 18))" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}
# Waits until the menu bar's digest is (is) or is not (not) the given one; prints the digest.
strip_until() {  # strip_until is|not DIGEST WHAT
  local now=""
  for _ in $(seq 1 50); do
    now=$(strip)
    if [[ $1 == is && $now == "$2" ]]; then
      echo "$now"
      return 0
    fi
    # A bar that has changed is taken once it has stopped changing (it is drawn item by item).
    if [[ $1 == not && $now != "$2" ]]; then
      sleep 0.3
      local again
      again=$(strip)
      if [[ $again == "$now" ]]; then
        echo "$now"
        return 0
      fi
    fi
    sleep 0.1
  done
  fail "menu bar $3"
}
resource_file() { tr -d '\r' <"$settings" | sed -n 's/^ResourceFile=//p'; }

# Opens the file menu by a click on the menu bar's first item, takes a screenshot, and closes
# the menu again.
screenshot() {
  xdotool mousemove $((client_x + 14)) $((client_y - 9)) click 1
  sleep 1
  import -window root "$shots/$1" 2>/dev/null || fail "no screenshot $1"
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  sleep 0.3
}

start
first=$(resource_file)
# The language items are the libraries in name order: English 40901, Japanese 40902.
case $first in
  English.dll) first_item=40901 other_item=40902 other=Japanese.dll ;;
  Japanese.dll) first_item=40902 other_item=40901 other=English.dll ;;
  *) fail "ResourceFile is '$first' at the first start" ;;
esac
first_bar=$(strip)
screenshot "menu_test_${first%.dll}.png"
dw command "$other_item" >/dev/null || fail "could not post the language command $other_item"
other_bar=$(strip_until not "$first_bar" "did not change after the language command $other_item")
[[ $(dw menu) == menu ]] || fail "no menu bar after switching the language"
screenshot "menu_test_${other%.dll}.png"
stop
[[ $(resource_file) == "$other" ]] || fail "ResourceFile is '$(resource_file)' after switching to $other"

# The library chosen is the one the next start loads; switching back restores the first bar.
start
strip_until is "$other_bar" "after a restart differs from the one before it" >/dev/null
dw command "$first_item" >/dev/null || fail "could not post the language command $first_item"
strip_until is "$first_bar" "after switching back differs from the first one" >/dev/null
stop
[[ $(resource_file) == "$first" ]] || fail "ResourceFile is '$(resource_file)' after switching back"
trap - EXIT
echo "menu_test: the menu bar switched from $first to $other and back, and the choice outlived a restart"
