#!/usr/bin/env bash
# tests/scripts/run_quolin_picture_size.sh PROGRAM EXAMPLES [RUNS] [BUSY] --
# runs the viewer RUNS times (20 unless given) in a fresh home with a
# command file named on its command line that opens the beam, reads its
# last load step, shows fringes and the legend, writes the view's picture
# with "toppm" and exits, while BUSY busy processes (one a core unless
# given) run beside it: the command file runs before the event loop, while
# the display may not yet have answered the window's layout, and the
# picture must still be of the view as laid out. Every run ends with
# status 0 and writes the same picture: 810 pixels wide (the main window's
# width) and less than the window's 600 high (the bars take the rest),
# with the beam across its middle (as drawn to a view of that size) and
# the legend's ends at its left. Says how many runs it made.
set -uo pipefail
program="$1"
examples="$2"
runs="${3:-20}"
nbusy="${4:-$(nproc)}"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"

busy=()
stop_busy() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null; rm -rf "$home"; }
trap stop_busy EXIT
for _ in $(seq "$nbusy"); do
  sh -c 'while :; do :; done' &
  busy+=($!)
done

cp "$examples/beam.nkf" beam.nkf
printf '%s\n' 'open beam.nkf' 'readstate 3 2 1' 'fringes' 'legend' 'toppm' 'exit' > cmds.qlc
probe() { python3 "$scripts/ppm_probe.py" "$@"; }
for run in $(seq "$runs"); do
  rm -f Quolin.ppm
  timeout "$(wait_limit 60)" "$program" "$PWD/cmds.qlc" >"$home/err.txt" 2>&1
  status=$?
  [ $status -eq 0 ] || fail "run $run ended with status $status"
  [ -s Quolin.ppm ] || fail "run $run wrote no picture"
  if [ "$run" -eq 1 ]; then
    mv Quolin.ppm first.ppm
    read -r width height < <(sed -n 3p first.ppm)
    [ "$width" -eq 810 ] && [ "$height" -lt 600 ] && [ "$height" -gt 400 ] ||
      fail "run 1: a picture of ${width}x$height, not of the view between the bars"
    # The beam's ends (its fringes' dark red and green) lie across the
    # middle of the picture; the legend's red and blue ends at its left.
    read -r rx0 ry0 _ ry1 < <(probe extent first.ppm 153 5 0)
    read -r _ gy0 gx1 gy1 < <(probe extent first.ppm 20 153 0)
    read -r lx0 _ lx1 _ < <(probe extent first.ppm 0 0 255)
    [ "${rx0:-none}" != none ] && [ "${gx1:-none}" != none ] && [ "${lx0:-none}" != none ] ||
      fail "run 1: no beam or legend in the picture"
    for centre in $((ry0 + ry1)) $((gy0 + gy1)); do
      [ $((centre - height)) -ge -4 ] && [ $((centre - height)) -le 4 ] ||
        fail "run 1: the beam lies at $((centre / 2)), not across the middle of $height rows"
    done
    [ $((rx0 + gx1 - width)) -ge -4 ] && [ $((rx0 + gx1 - width)) -le 4 ] ||
      fail "run 1: the beam runs from $rx0 to $gx1, not across the middle of $width columns"
    [ "$lx1" -lt 100 ] || fail "run 1: the legend's blue end at $lx0..$lx1"
  elif ! cmp -s Quolin.ppm first.ppm; then
    fail "run $run: another picture than run 1's ($(sed -n 3p Quolin.ppm) after ${width}x$height)"
  fi
done
echo "picture size passed: $runs runs beside $nbusy busy processes, every picture ${width}x$height"
