#!/usr/bin/env bash
# tests/scripts/run_quolin_info.sh PROGRAM EXAMPLES -- runs the viewer on the
# example beam in a fresh home whose fileopen.qlc lists a node's
# coordinates, numbers a run of nodes, places a 3-D text, shows the model
# information (again after reading states 3 and 2, and after reading the
# last state with a model status dump), draws a frame with all of them to an
# image and exits.
# Expects status 0 and the command texts on standard error.
set -uo pipefail
program="$1"
examples="$2"
. "$(dirname "$0")/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf
# Relative image names would resolve beside the command file.
printf '%s\n' 'debugcommands on' 'coordinates 1,1011' 'numbers 1,1001 1,1011' \
  'text3d "Beam" #3' 'text3d "Quolin" 0 1 0 1 1 0 2 0 255 0 0' 'info' \
  'readstate 3 1' 'info' 'readstate 2 1' 'info' \
  'readstate last 1 1' "dump \"$PWD/model.dbg\"" 'info' \
  "toppm \"$PWD/t.ppm\" 400 300" 'exit' \
  > "$brovik/fileopen.qlc"

timeout "$(wait_limit 60)" "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
[[ "$err" == *"  1, 1011:  x =  1.00000e+01  y =  0.00000e+00  z =  0.00000e+00"* ]] ||
  fail "missing: the coordinates"
[[ "$err" == *"Enable node numbers for node (1, 1001) to node (1, 1011)."* ]] ||
  fail "missing: the node numbers"
[[ "$err" == *"New 3D Text string with ID added."* ]] || fail "missing: the text with ID"
[[ "$err" == *"New 3D Text string without ID added."* ]] || fail "missing: the text without ID"
[ -s t.ppm ] || fail "missing: the image"
[ -n "${QUOLIN_KEEP_IMAGE:-}" ] && cp t.ppm "$QUOLIN_KEEP_IMAGE"
[[ "$err" == *"  - Number of nodes.............: 99"* ]] || fail "missing: the information"
# The extremes name the step read, not the one frame that holds it.
for step in 3 2; do
  for side in Minimum Maximum; do
    grep -Eq "^  - $side node value\.+: .*\(in part 1, node [0-9]+, step $step\)\$" \
      "$home/err.txt" || fail "missing: the $side node value at step $step"
  done
done
# The model's ranges keep the frame (the one frame), the information names
# its step: the last of the beam's three.
for side in Min Max; do
  grep -Eq "^- f${side}ScalarValue : .* in frame 0\$" model.dbg ||
    fail "missing: the $side scalar value in frame 0 in the dump"
done
for side in Minimum Maximum; do
  grep -E "^  - $side node value\.+: " "$home/err.txt" | tail -n 1 |
    grep -Eq "\(in part 1, node [0-9]+, step 3\)\$" ||
    fail "missing: the $side node value at step 3 after the last state"
done
echo "info session passed"
