#!/usr/bin/env bash
# tests/scripts/run_quolin_stroke_text.sh PROGRAM EXAMPLES -- stroke text
# whatever the display's window managers did. On an X server of the
# script's own that keeps the root window's properties when its clients
# leave, the program opens the beam with each of two command files: the
# Results Menu shown in the view and the view painted (its items are
# stroke text), and the legend's texts in stroke fonts; each writes the
# picture and exits. First with no manager ever, then with openbox
# running, after openbox ended and after it was killed (either way it
# leaves its check property on the root window, naming a window that is
# gone), and started with "-display" naming the server while DISPLAY names
# one nobody serves. Every run ends with status 0, writes the picture of
# the run with no manager, and says nothing about freeglut or stroke text.
# Skipped (77) without openbox or xprop (scripts/install-deps installs
# both).
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"

for tool in openbox xprop; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
done

own_xvfb_pid="" openbox_pid=""
cleanup() {
  [ -n "$openbox_pid" ] && kill -9 "$openbox_pid" 2>/dev/null
  [ -n "$own_xvfb_pid" ] && kill "$own_xvfb_pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT
start_own_xvfb 0 -noreset
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

cp "$examples/beam.nkf" beam.nkf
# "d" paints the view at once, the Results Menu with it.
printf 'open beam.nkf\nusermenu res\nd\ntoppm "%s/menu.ppm" 810 600\nexit\n' "$PWD" >menu.qlc
printf 'open beam.nkf\nreadstate 3 2 1\nfringes\nlegend\nstrokefonts\ntoppm "%s/text.ppm" 810 600\nexit\n' \
  "$PWD" >text.qlc

# The window the root window's check property names, else nothing.
check_window() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'
}

start_openbox() {
  local tenths limit window
  openbox --sm-disable >"$home/openbox.txt" 2>&1 &
  openbox_pid=$!
  limit=$(($(wait_limit 30) * 10))
  for ((tenths = 0; tenths < limit; tenths++)); do
    window=$(check_window)
    [ -n "$window" ] && xprop -id "$window" >/dev/null 2>&1 && return
    kill -0 "$openbox_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "openbox did not name its check window: $(cat "$home/openbox.txt")"
}

# Ends openbox with the signal $1; its check property stays, naming a
# window that is gone.
end_openbox() {
  local window
  window=$(check_window)
  kill "-$1" "$openbox_pid"
  wait "$openbox_pid" 2>/dev/null
  openbox_pid=""
  [ -n "$(check_window)" ] || fail "openbox ended with $1 left no check property: nothing is tried"
  ! xprop -id "$window" >/dev/null 2>&1 || fail "openbox ended with $1 left its check window"
}

# run CASE FILE [ARGUMENTS BEFORE THE FILE]: the program with the command
# file FILE.qlc; status 0, its picture, no word of freeglut or stroke text.
run() {
  local case="$1" file="$2"
  shift 2
  rm -f "$file.ppm"
  run_limited "$(wait_limit 120)" "$program" "$@" "$file.qlc" >/dev/null 2>"$home/err.txt"
  status=$?
  [ $status -eq 0 ] || fail "$case, $file: status $status"
  [ -s "$file.ppm" ] || fail "$case, $file: no picture"
  ! grep -qiE "freeglut|stroke text" "$home/err.txt" || fail "$case, $file: a word of freeglut or stroke text"
}

# run_as_none CASE ...: run, and the picture is the one with no manager.
run_as_none() {
  local case="$1"
  shift
  for file in menu text; do
    run "$case" "$file" "$@"
    cmp -s "$file.ppm" "none-$file.ppm" || fail "$case, $file: not the picture with no manager"
  done
}

for file in menu text; do
  run "no manager" "$file"
  mv "$file.ppm" "none-$file.ppm"
done

start_openbox
run_as_none "openbox running"
end_openbox TERM
run_as_none "openbox ended"
start_openbox
end_openbox KILL
run_as_none "openbox killed"

# A display number nobody serves.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
good="$DISPLAY"
DISPLAY=":$n" run_as_none "-display $good, DISPLAY :$n" -display "$good"
echo "stroke text drawn with no manager, openbox running, ended and killed, and through -display"
