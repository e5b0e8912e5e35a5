#!/usr/bin/env bash
# After two runs in a row that never closed in order, the next start asks whether to reset the
# settings; Yes brings back the defaults, and an orderly close clears the count again.
# Usage: abnormal_end_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1
bin=$2
source "$session/session.env"
export WINEPREFIX DISPLAY WINEDEBUG=-all

fail() { echo "abnormal_end_test: $*" >&2; exit 1; }
user=$(whoami)
settings="$WINEPREFIX/drive_c/users/$user/Pictures/Dotwright/setting/Dotwright.ini"
program=
trap '[[ -n $program ]] && kill -9 "$program" 2>/dev/null || true' EXIT

value() { tr -d '\r' < "$settings" | sed -n "s/^$1=//p"; }
crash() {  # a start that ends without closing
  wine "$bin/Dotwright.exe" &
  program=$!
  wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
  kill -9 "$program"
  wait "$program" 2>/dev/null || true
  wine "$bin/dwdrive.exe" wait-gone 20000 || fail "the killed program's window stayed"
}

# A first orderly run writes the settings; mark one of them so a reset shows.
wine "$bin/Dotwright.exe" &
program=$!
wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
wine "$bin/dwdrive.exe" close
wait "$program" || fail "exit code $? after WM_CLOSE"
[[ $(value AbnormalTerminationCount) == 0 ]] || fail "count after an orderly close is '$(value AbnormalTerminationCount)'"
sed -i 's/^newcanvascx=.*\r$/newcanvascx=123\r/' "$settings"
[[ $(value newcanvascx) == 123 ]] || fail "could not mark the settings"

crash
crash
[[ $(value AbnormalTerminationCount) == 2 ]] || fail "count after two crashes is '$(value AbnormalTerminationCount)'"

wine "$bin/Dotwright.exe" &
program=$!
sleep 2
shots="$(dirname "$session")/e2e-screenshots"
mkdir -p "$shots"
import -window root "$shots/abnormal_end_question.png" 2>/dev/null || true
wine "$bin/dwdrive.exe" answer 30000 || fail "no question after two abnormal ends"
wine "$bin/dwdrive.exe" wait 30000 || fail "no main window after the answer"
wine "$bin/dwdrive.exe" close
wait "$program" || fail "exit code $? after WM_CLOSE"
program=
trap - EXIT
[[ $(value newcanvascx) != 123 ]] || fail "Yes did not reset the settings"
[[ $(value AbnormalTerminationCount) == 0 ]] || fail "the orderly close did not clear the count"
echo "abnormal_end_test: two crashes raised the count to 2, the question reset the settings, the close cleared it"
