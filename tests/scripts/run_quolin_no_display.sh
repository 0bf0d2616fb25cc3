#!/usr/bin/env bash
# tests/scripts/run_quolin_no_display.sh PROGRAM EXAMPLES -- the display a
# start reaches, by every way Qt takes one (DISPLAY, "-display",
# "--display", "-platform", "--platform", QT_QPA_PLATFORM, a Wayland
# session type, no session type): a display that cannot be reached
# (DISPLAY unset, or a number nothing listens on: no X socket or lock file,
# so the connection is refused at once) and one whose socket accepts and
# never answers (a listener of the script's own, with the wait's limit made
# short), whichever platform list reaches it, make the program say so on
# standard error and end with status 1, not an abort nor a hang; the option
# beats DISPLAY both ways. A server that refuses the client (an Xvfb that
# asks for a cookie the client lacks, a listener of the script's own that
# refuses) is asked once, and the program's one line gives its reason; a
# display whose socket is not there is not asked again. A platform that
# cannot start, however it was asked for (a plugin that does not exist,
# Wayland without its compositor or plugin, a Wayland session without its
# X display), ends with the program's one line and status 1 too, never
# Qt's abort. On a display that works (an Xvfb of the script's own) the
# beam given with "-display NAME" before or after it opens, with no usage
# box: the options are the platform's; a "-display" with no name after it
# leaves DISPLAY named and gets the usage box; a Wayland list or session
# falls back to it, the platform's warnings on the way still shown; a
# QUOLIN_DISPLAY_WAIT that is not a whole number of seconds is named. The
# same Xvfb reached through a relay that holds its first answer 8 s is
# waited for, saying so once, and one whose first connection is closed
# unanswered (as a server that resets closes it) is reached by the next,
# named with its screen or without. "-version" needs no display.
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
err="$home/err.txt"
cp "$examples/beam.nkf" .

own_xvfb_pid="" relay_pids=() auth_xvfb_pid=""
cleanup() {
  for pid in "${relay_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "$own_xvfb_pid" ] && kill "$own_xvfb_pid" 2>/dev/null
  [ -n "$auth_xvfb_pid" ] && kill "$auth_xvfb_pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT
start_own_xvfb
good="$DISPLAY"
# Message boxes go to standard error; the user's start-up file after an
# open draws a frame with text in the stroke font (whose library reads
# DISPLAY alone: it must reach the display the option named) and ends the
# session. No Wayland compositor is found in the private runtime folder.
export CI=1 XDG_RUNTIME_DIR="$home/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf 'strokefonts\nlegend\ntoppm "%s"\nexit\n' "$home/drawn.ppm" >"$brovik/fileopen.qlc"

# Display numbers no server serves: one refused, and the relays of
# display_relay.py (each with a lock file, so no other server takes it):
# one that never answers, one that holds the first answer of $good 8 s, two
# that close the first connection unanswered; the listeners of
# display_refusal.py: one that refuses every client, one with no socket
# file that closes every connection unanswered.
free_number() {
  local n="$1"
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}
# Starts display_relay.py (display_refusal.py where relay_script names it)
# on the first free number from $1 with the rest of the arguments; sets
# relay to the number it took (it prints it once it listens: of two
# servers or relays after one number, the later goes on to the next).
listening() { [ -S "/tmp/.X11-unix/X$1" ] || grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix; }
start_relay() {
  local tenths limit program="$scripts/${relay_script:-display_relay.py}"
  local out="$home/relay-${#relay_pids[@]}.out"
  python3 "$program" "$(free_number "$1")" "${@:2}" >"$out" 2>&1 &
  relay_pids+=($!)
  limit=$(($(wait_limit 30) * 10))
  for ((tenths = 0; tenths < limit; tenths++)); do
    relay="$(head -1 "$out")"
    case "$relay" in '' | *[!0-9]*) ;; *) listening "$relay" && return ;; esac
    kill -0 "${relay_pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  fail "the listener from :$1 did not start: $(cat "$out")"
}
n="$(free_number 190)"
start_relay $((n + 1)) mute
m=$relay
start_relay $((m + 1)) hold "${good#:}" 8
late=$relay
start_relay $((late + 1)) reset "${good#:}"
reset=$relay
start_relay $((reset + 1)) reset "${good#:}"
screen_reset=$relay
relay_script=display_refusal.py start_relay $((screen_reset + 1)) refuse "$home/refusing.log"
refusing=$relay
relay_script=display_refusal.py start_relay $((refusing + 1)) close "$home/closing.log"
closing=$relay
# An Xvfb that lets in only clients with a cookie of its file (one is
# enough for it to ask), which the program's XAUTHORITY does not hold (as
# after su or sudo), on a number it picks itself.
xauth -f "$home/cookies" add ":0" . 0123456789abcdef0123456789abcdef 2>/dev/null
: >"$home/no-cookies"
Xvfb -displayfd 3 -auth "$home/cookies" -screen 0 640x480x24 3>"$home/auth-display" \
  >"$home/auth-xvfb.txt" 2>&1 &
auth_xvfb_pid=$!
for ((tenths = 0; tenths < $(wait_limit 30) * 10; tenths++)); do
  [ -s "$home/auth-display" ] && break
  sleep 0.1
done
[ -s "$home/auth-display" ] || fail "the Xvfb asking for a cookie did not start: $(cat "$home/auth-xvfb.txt")"
auth=$(head -1 "$home/auth-display")

# Each row: the status, what standard error must hold (a refusal, or the
# beam opened), the arguments of env(1) that run the program (what it
# unsets first), and, where there are any, how many usage boxes and lines
# saying that the start still waits for its display it must show, what
# else standard error must hold, and the log of the listener the start
# must connect to once. A start that fails says so in one line of its own
# (a line saying it waits aside).
clean=(-u QT_QPA_PLATFORM -u XDG_SESSION_TYPE -u WAYLAND_DISPLAY)
platform="^quolin: the window platform cannot start: .*"
waiting="^quolin: still waiting for display \":[0-9]+\" to answer$"
opened="Primary file .*/beam.nkf opened"
not_whole="^quolin: QUOLIN_DISPLAY_WAIT \"[^\"]*\" is not a whole number of seconds from 1 to 86400: the wait is 120 s$"
rows=(
  "1|cannot open display: DISPLAY is not set|-u DISPLAY QT_QPA_PLATFORM=xcb PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=xcb PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=:$n PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=:$n XDG_SESSION_TYPE=x11 PROGRAM beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=$good PROGRAM -display :$n beam.nkf"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=$good PROGRAM beam.nkf --display :$n"
  "1|cannot open display \":$n\"|${clean[*]} DISPLAY=:$n PROGRAM beam.nkf -display"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=offscreen PROGRAM -platform xcb beam.nkf"
  "1|cannot open display \":$n\"|DISPLAY=:$n QT_QPA_PLATFORM=offscreen PROGRAM --platform xcb beam.nkf"
  "1|display \":$m\" does not answer \(waited 6 s\)|${clean[*]} QUOLIN_DISPLAY_WAIT=6 DISPLAY=:$m PROGRAM beam.nkf|0|1"
  "1|display \":$m\" does not answer \(waited 6 s\)|DISPLAY=$good QT_QPA_PLATFORM=xcb QUOLIN_DISPLAY_WAIT=6 PROGRAM --display :$m beam.nkf|0|1"
  "1|^quolin: display \":$m\" does not answer \(waited 4 s\)$|${clean[*]} QT_QPA_PLATFORM=wayland;xcb QUOLIN_DISPLAY_WAIT=4 DISPLAY=:$m PROGRAM beam.nkf|0|1"
  "1|^quolin: display \":$m\" does not answer \(waited 4 s\)$|${clean[*]} XDG_SESSION_TYPE=wayland QUOLIN_DISPLAY_WAIT=4 DISPLAY=:$m PROGRAM beam.nkf|0|1"
  "1|^quolin: cannot open display \":$auth\": Authorization required, but no authorization protocol specified$|${clean[*]} XAUTHORITY=$home/no-cookies DISPLAY=:$auth PROGRAM beam.nkf|0"
  "1|^quolin: cannot open display \":$auth\": Authorization required, but no authorization protocol specified$|${clean[*]} QT_QPA_PLATFORM=wayland;xcb XAUTHORITY=$home/no-cookies DISPLAY=:$auth PROGRAM beam.nkf|0"
  "1|^quolin: cannot open display \":$refusing\": Refused by the test's own server$|${clean[*]} DISPLAY=:$refusing PROGRAM beam.nkf|0|||$home/refusing.log"
  "1|^quolin: cannot open display \":$closing\"$|${clean[*]} DISPLAY=:$closing PROGRAM beam.nkf|0|||$home/closing.log"
  "1|$platform\"nosuch\"|${clean[*]} DISPLAY=$good PROGRAM -platform nosuch beam.nkf|0|0"
  "1|$platform\"nosuch\"|${clean[*]} DISPLAY=$good QT_QPA_PLATFORM=nosuch PROGRAM beam.nkf|0|0"
  "1|$platform\"?wayland|${clean[*]} DISPLAY=$good PROGRAM -platform wayland beam.nkf|0|0"
  "1|^quolin: cannot open display \":$n\"$|${clean[*]} DISPLAY=:$n QT_QPA_PLATFORM=wayland;xcb PROGRAM beam.nkf|0|0"
  "1|$platform|${clean[*]} -u DISPLAY WAYLAND_DISPLAY=wayland-9 PROGRAM beam.nkf|0|0"
  "1|^quolin: cannot open display \":$n\"$|${clean[*]} DISPLAY=:$n WAYLAND_DISPLAY=wayland-9 PROGRAM beam.nkf|0|0"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$n PROGRAM -display $good beam.nkf|0"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$n PROGRAM beam.nkf -display $good|0"
  "0|Primary file .*/beam.nkf opened|DISPLAY=$good QT_QPA_PLATFORM=offscreen PROGRAM beam.nkf --platform xcb|0"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=$good WAYLAND_DISPLAY=wayland-9 PROGRAM beam.nkf|0"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=$good PROGRAM beam.nkf -display|1"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=$good PROGRAM beam.nkf --display|1"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$late PROGRAM beam.nkf|0|1"
  "0|Primary file .*/beam.nkf opened|${clean[*]} DISPLAY=:$reset PROGRAM beam.nkf|0"
  "0|$opened|${clean[*]} DISPLAY=:$screen_reset.0 PROGRAM beam.nkf|0"
  "0|$opened|${clean[*]} QT_QPA_PLATFORM=wayland;xcb DISPLAY=$good PROGRAM beam.nkf|0|0|^qt\.qpa\.[a-z.]*: .*wayland"
  "0|$opened|${clean[*]} XDG_SESSION_TYPE=wayland DISPLAY=$good PROGRAM beam.nkf|0|0"
  "0|$opened|${clean[*]} QUOLIN_DISPLAY_WAIT=0 DISPLAY=$good PROGRAM beam.nkf|0|0|$not_whole"
  "0|$opened|${clean[*]} QUOLIN_DISPLAY_WAIT=5s DISPLAY=$good PROGRAM beam.nkf|0|0|$not_whole"
  "0|$opened|${clean[*]} QUOLIN_DISPLAY_WAIT=99999999999 DISPLAY=$good PROGRAM beam.nkf|0|0|$not_whole"
)
for row in "${rows[@]}"; do
  IFS='|' read -r want expected command boxes waits also log <<<"$row"
  read -ra words <<<"${command/PROGRAM/$program}"
  [ -z "$log" ] || : >"$log"
  # A display that answers is waited for as long as it takes, the
  # listener that never does for the few seconds its rows give; the run's
  # limit is generous, so that a hang shows as one.
  run_limited "$(wait_limit 60)" env "${words[@]}" >/dev/null 2>"$err"
  status=$?
  ended=$(date +%s.%N)
  [ $status -eq "$want" ] || fail "$command: status $status, not $want"
  grep -qE "$expected" "$err" || fail "$command: no \"$expected\" on standard error"
  [ -z "$also" ] || grep -qE "$also" "$err" || fail "$command: no \"$also\" on standard error"
  if [ -n "$log" ]; then
    # Asked once, and ended soon after: timed from the connection, where
    # the refusal begins, to the end of the run.
    asked=$(grep -c "^connected " "$log")
    [ "$asked" -eq 1 ] || fail "$command: the display was asked $asked times, not once"
    awk -v end="$ended" -v limit="$(wait_limit 15)" '{ if (end - $2 > limit) exit 1 }' "$log" ||
      fail "$command: the refusal took longer than $(wait_limit 15) s"
  fi
  grep -q "This application failed to start" "$err" && fail "$command: Qt's abort message"
  if [ -n "$boxes" ]; then
    shown=$(grep -c "Command Line Options" "$err")
    [ "$shown" -eq "$boxes" ] || fail "$command: $shown usage boxes, not $boxes"
  fi
  if [ -n "$waits" ]; then
    said=$(grep -cE "$waiting" "$err")
    [ "$said" -eq "$waits" ] || fail "$command: $said lines saying it waits, not $waits"
  fi
  if [ "$want" = 0 ]; then
    [ -s "$home/drawn.ppm" ] || fail "$command: no frame drawn"
    rm -f "$home/drawn.ppm"
  else
    lines=$(grep -cvE "$waiting" "$err")
    [ "$lines" -eq 1 ] || fail "$command: $lines lines on standard error, not the one"
    grep -q "^quolin: " "$err" || fail "$command: not the program's own line"
  fi
done
echo "every way to name a display or a platform is checked: a refused or silent display or" \
  "a platform that cannot start says so in one line, status 1; a working display named by" \
  "-display opens the beam, no usage box; a late one is waited for, one that resets reached"

version="$(env -u DISPLAY "$program" -version 2>"$err")" || fail "-version without a display failed"
[ -n "$version" ] || fail "-version printed nothing"
echo "-version works without a display"
