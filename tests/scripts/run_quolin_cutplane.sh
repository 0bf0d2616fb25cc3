#!/usr/bin/env bash
# tests/scripts/run_quolin_cutplane.sh PROGRAM EXAMPLES -- runs the viewer on
# the example beam in a fresh home whose fileopen.qlc reads a state, cuts the
# beam, hides its part and writes two images of 810 x 600, one with the
# cutting plane and one after "nocutplane". Expects status 0, the middle of
# the first image not the background (the section of the hidden part) and
# the middle of the second the background (the corner's colour).
# Then a grid of 10 x 10 x 10 unit cells (written by "grid3d" in a first
# run) is cut through its middle across z, its part hidden, and written as
# images of 800 x 600 with the plane local and not: the local section is
# the plane's rectangle, its default half sizes (0.2 display units, where
# the grid's 10 units are 1) either side of the middle, so it is 0.4 of the
# whole section's width and height, centred on it.
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

timeout "$(wait_limit 60)" "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
[ -s a.ppm ] && [ -s b.ppm ] || fail "missing: an image"

pixel() { python3 "$here/ppm_probe.py" pixel "$@"; }
background="$(pixel b.ppm 2 2)"
[ "$(pixel a.ppm 2 2)" == "$background" ] || fail "the corners differ"
[ "$(pixel a.ppm 405 300)" != "$background" ] || fail "no section in the middle"
[ "$(pixel b.ppm 405 300)" == "$background" ] || fail "something left in the middle"

printf '%s\n' "grid3d 10 10 10 1 1 \"$PWD/g.nkf\"" 'exit' > "$brovik/fileopen.qlc"
timeout "$(wait_limit 60)" "$program" beam.nkf 2>"$home/err.txt" || fail "the grid run ended with status $?"
[ -s g.nkf ] || fail "no grid written"
printf '%s\n' 'readstate 1 1 1' 'cutplane 5 5 5 0 0 1' 'unpost 1 1' 'localcutplane' \
  "toppm \"$PWD/local.ppm\" 800 600" 'nolocalcutplane' "toppm \"$PWD/whole.ppm\" 800 600" \
  'exit' > "$brovik/fileopen.qlc"
timeout "$(wait_limit 60)" "$program" g.nkf 2>"$home/err.txt" || fail "the cut run ended with status $?"
[ -s local.ppm ] && [ -s whole.ppm ] || fail "missing: an image of the grid"
# The box of the section's colour (that of the middle) in an image.
section() { python3 "$here/ppm_probe.py" extent "$1" $(pixel "$1" 400 300); }
read -r lx0 ly0 lx1 ly1 <<< "$(section local.ppm)"
read -r wx0 wy0 wx1 wy1 <<< "$(section whole.ppm)"
[ "$lx1" != "" ] && [ "$wx1" != "" ] || fail "no section in the grid's images"
echo "local section $lx0,$ly0 to $lx1,$ly1; whole section $wx0,$wy0 to $wx1,$wy1"
# Width and height as a share of the whole, in hundredths: 40 +- 3.
for share in $((100 * (lx1 - lx0) / (wx1 - wx0))) $((100 * (ly1 - ly0) / (wy1 - wy0))); do
  [ "$share" -ge 37 ] && [ "$share" -le 43 ] ||
    fail "the local section is $share hundredths of the whole, not 40"
done
for off in $((lx0 + lx1 - wx0 - wx1)) $((ly0 + ly1 - wy0 - wy1)); do
  [ "${off#-}" -le 4 ] || fail "the local section is off the middle of the whole by $off / 2 px"
done
echo "cutting plane session passed"
