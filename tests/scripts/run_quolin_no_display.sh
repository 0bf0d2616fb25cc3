#!/usr/bin/env bash
# tests/scripts/run_quolin_no_display.sh PROGRAM EXAMPLES -- a start without
# a display: with DISPLAY unset, and with DISPLAY naming a display nothing
# listens on (a number without an X socket or lock file, so the connection
# is refused at once and cannot hang), the program says on standard error
# that it cannot open the display and which, and ends with status 1, not an
# abort. "-version" needs no display.
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
err="$home/err.txt"
cp "$examples/beam.nkf" .

# A display number that no server serves.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

# start EXPECTED-TEXT ENV...: the program under env with the beam; status 1
# and the text on standard error.
start() {
  local expected="$1"
  shift
  env "$@" QT_QPA_PLATFORM=xcb "$program" beam.nkf >/dev/null 2>"$err" &
  local pid=$!
  local limit=$(($(wait_limit 60) * 10)) tenths=0
  while kill -0 $pid 2>/dev/null && [ $tenths -lt $limit ]; do
    sleep 0.1
    tenths=$((tenths + 1))
  done
  kill -0 $pid 2>/dev/null && { kill -9 $pid; fail "$*: still running after the limit"; }
  wait $pid
  local status=$?
  [ $status -eq 1 ] || fail "$*: status $status, not 1"
  grep -qF "$expected" "$err" || fail "$*: no \"$expected\" on standard error"
  grep -q "Qt platform plugin" "$err" && fail "$*: Qt's plugin message"
  return 0
}

start "cannot open display: DISPLAY is not set" -u DISPLAY
start "cannot open display \":$n\"" DISPLAY=":$n"
start "cannot open display \":$n\"" -u XDG_SESSION_TYPE DISPLAY=":$n"
echo "without a display the program says so and ends with status 1"

version="$(env -u DISPLAY "$program" -version 2>"$err")" || fail "-version without a display failed"
[ -n "$version" ] || fail "-version printed nothing"
echo "-version works without a display"
