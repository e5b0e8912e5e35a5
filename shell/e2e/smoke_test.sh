#!/usr/bin/env bash
# Smoke test of Dotwright.exe under Wine: the main window of class "DotwrightMainClass" titled
# "Dotwright" appears, and WM_CLOSE ends the program with exit code 0.
# Usage: smoke_test.sh SESSION_DIR BIN_DIR   (run by ctest inside the wine_session fixture)
set -euo pipefail
session=$1
bin=$2
source "$session/session.env"
export WINEPREFIX DISPLAY WINEDEBUG=-all

wine "$bin/Dotwright.exe" &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT

fail() { echo "smoke_test: $*" >&2; exit 1; }

wine "$bin/dwdrive.exe" wait 30000 || fail "no main window"
title=$(wine "$bin/dwdrive.exe" title | tr -d '\r')
[[ $title == Dotwright* ]] || fail "title is '$title', expected it to start with 'Dotwright'"
wine "$bin/dwdrive.exe" close || fail "could not post WM_CLOSE"

# The program must end by itself, promptly, with code 0.
for _ in $(seq 1 200); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "still running 20 s after WM_CLOSE"
trap - EXIT
code=0
wait "$program" || code=$?
[[ $code -eq 0 ]] || fail "exit code $code, expected 0"
echo "smoke_test: window 'Dotwright' opened and closed with exit code 0"
