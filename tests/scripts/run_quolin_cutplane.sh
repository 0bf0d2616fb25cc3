#!/usr/bin/env bash
# tests/scripts/run_quolin_cutplane.sh PROGRAM EXAMPLES -- runs the viewer on
# the example beam in a fresh home whose fileopen.qlc reads a state, cuts the
# beam, hides its part and writes two images of 810 x 600, one with the
# cutting plane and one after "nocutplane". Expects status 0, the middle of
# the first image not the background (the section of the hidden part) and
# the middle of the second the background (the corner's colour).
set -uo pipefail
program="$1"
examples="$2"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf
# Relative image names would resolve beside the command file.
printf '%s\n' 'readstate 3 1 1' 'cutplane 5 0.5 0.4 0 0 1' 'unpost 1 1' \
  "toppm \"$PWD/a.ppm\" 810 600" 'nocutplane' "toppm \"$PWD/b.ppm\" 810 600" 'exit' \
  > "$brovik/fileopen.qlc"

timeout 60 "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
[ -s a.ppm ] && [ -s b.ppm ] || fail "missing: an image"

pixel() { python3 "$here/ppm_probe.py" pixel "$@"; }
background="$(pixel b.ppm 2 2)"
[ "$(pixel a.ppm 2 2)" == "$background" ] || fail "the corners differ"
[ "$(pixel a.ppm 405 300)" != "$background" ] || fail "no section in the middle"
[ "$(pixel b.ppm 405 300)" == "$background" ] || fail "something left in the middle"
echo "cutting plane session passed"
