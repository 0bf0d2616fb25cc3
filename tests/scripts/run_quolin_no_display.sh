#!/usr/bin/env bash
# tests/scripts/run_quolin_no_display.sh PROGRAM EXAMPLES -- the display a
# start reaches, by every way Qt takes one (DISPLAY, "-display",
# "--display", "-platform", "--platform", QT_QPA_PLATFORM, no session type):
# a display that cannot be reached (DISPLAY unset, or a number nothing
# listens on: no X socket or lock file, so the connection is refused at
# once) and one whose socket accepts and never answers (a listener of the
# script's own) make the program say so on standard error and end with
# status 1, not an abort nor a hang; the option beats DISPLAY both ways. On
# a display that works (an Xvfb of the script's own) the beam given with
# "-display NAME" before or after it opens, with no usage box: the options
# are the platform's. "-version" needs no display.
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
err="$home/err.txt"
cp "$examples/beam.nkf" .

own_xvfb_pid="" mute_pid=""
cleanup() {
  [ -n "$mute_pid" ] && kill "$mute_pid" 2>/dev/null && wait "$mute_pid" 2>/dev/null
  [ -n "$own_xvfb_pid" ] && kill "$own_xvfb_pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT
start_own_xvfb
good="$DISPLAY"
# Message boxes go to standard error; the user's start-up file after an
# open draws a frame with text in the stroke font (whose library reads
# DISPLAY alone: it must reach the display the option named) and ends the
# session.
export CI=1
printf 'strokefonts\nlegend\ntoppm "%s"\nexit\n' "$home/drawn.ppm" >"$brovik/fileopen.qlc"

# Display numbers no server serves: one refused, one whose socket accepts
# and never answers (with a lock file, so no other server takes it).
free_number() {
  local n="$1"
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}
n="$(free_number 190)"
m="$(free_number $((n + 1)))"
python3 - "$m" <<'PY' &
import os, signal, socket, sys
n = int(sys.argv[1])
path, lock = "/tmp/.X11-unix/X%d" % n, "/tmp/.X%d-lock" % n
with open(lock, "w") as f:
    f.write("%10d\n" % os.getpid())
listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
os.makedirs("/tmp/.X11-unix", exist_ok=True)
listener.bind(path)
listener.listen(8)
held = []
signal.signal(signal.SIGTERM, lambda *_: (os.unlink(path), os.unlink(lock), sys.exit(0)))
while True:
    held.append(listener.accept()[0])
PY
mute_pid=$!
limit=$(($(wait_limit 30) * 10))
for ((tenths = 0; tenths < limit; tenths++)); do
  [ -S "/tmp/.X11-unix/X$m" ] && break
  sleep 0.1
done
[ -S "/tmp/.X11-unix/X$m" ] || fail "the listener on :$m did not start"

# Each row: the status, what standard error must hold (a refusal, or the
# beam opened), and the arguments of env(1) that run the program (what it
# unsets first).
clean=(-u QT_QPA_PLATFORM -u XDG_SESSION_TYPE -u WAYLAND_DISPLAY)
rows=(
  "1|cannot open display: DISPLAY is not set|-u DISPLAY QT_QPA_PLATFORM=xcb PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=xcb PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=:$n PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=:$n XDG_SESSION_TYPE=x11 PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=$good PROGRAM -display :$n beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=$good PROGRAM beam.nkf --display :$n"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=offscreen PROGRAM -platform xcb beam.nkf"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=offscreen PROGRAM --platform xcb beam.nkf"
  "1|display \":$m\" does not answer|${clean[*]} DISPLAY=:$m PROGRAM beam.nkf"
  "1|display \":$m\" does not answer|DISPLAY=$good QT_QPA_PLATFORM=xcb PROGRAM --display :$m beam.nkf"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$n PROGRAM -display $good beam.nkf"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$n PROGRAM beam.nkf -display $good"
  "0|Primary file .*/beam.nkf opened|DISPLAY=$good QT_QPA_PLATFORM=offscreen PROGRAM beam.nkf --platform xcb"
)
for row in "${rows[@]}"; do
  IFS='|' read -r want expected command <<<"$row"
  read -ra words <<<"${command/PROGRAM/$program}"
  # The answer's limit is 5 s; the run's is generous, so that a hang shows
  # as one.
  begun=$SECONDS
  run_limited "$(wait_limit 60)" env "${words[@]}" >/dev/null 2>"$err"
  status=$?
  [ $status -eq "$want" ] || fail "$command: status $status, not $want"
  [ "$want" = 0 ] || [ $((SECONDS - begun)) -le "$(wait_limit 15)" ] ||
    fail "$command: the refusal took $((SECONDS - begun)) s"
  grep -qE "$expected" "$err" || fail "$command: no \"$expected\" on standard error"
  grep -q "Qt platform plugin" "$err" && fail "$command: Qt's plugin message"
  grep -q "Command Line Options" "$err" && fail "$command: the usage box"
  if [ "$want" = 0 ]; then
    [ -s "$home/drawn.ppm" ] || fail "$command: no frame drawn"
    rm -f "$home/drawn.ppm"
  fi
done
echo "every way to name a display is checked: a refused or silent one says so, status 1;" \
  "a working one named by -display opens the beam, no usage box"

version="$(env -u DISPLAY "$program" -version 2>"$err")" || fail "-version without a display failed"
[ -n "$version" ] || fail "-version printed nothing"
echo "-version works without a display"
