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
. "$(dirname "$0")/fresh_home.sh"
fail() { echo "FAIL: $*"; cat "$home/err.txt"; exit 1; }

cp "$examples/beam.nkf" beam.nkf
# Relative image names would resolve beside the command file.
printf '%s\n' 'readstate 3 1 1' 'cutplane 5 0.5 0.4 0 0 1' 'unpost 1 1' \
  "toppm \"$PWD/a.ppm\" 810 600" 'nocutplane' "toppm \"$PWD/b.ppm\" 810 600" 'exit' \
  > "$brovik/fileopen.qlc"

timeout 60 "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
[ -s a.ppm ] && [ -s b.ppm ] || fail "missing: an image"

# The pixel at (x, y), y counted from the top, of a binary PPM, as "r g b".
pixel() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    if data[pos:pos + 1] == b'#':
        pos = data.index(b'\n', pos) + 1
        continue
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[pos:end])
    pos = end
pos += 1
width = int(fields[1])
x, y = int(sys.argv[2]), int(sys.argv[3])
o = pos + 3 * (y * width + x)
print(data[o], data[o + 1], data[o + 2])
PY
}
background="$(pixel b.ppm 2 2)"
[ "$(pixel a.ppm 2 2)" == "$background" ] || fail "the corners differ"
[ "$(pixel a.ppm 405 300)" != "$background" ] || fail "no section in the middle"
[ "$(pixel b.ppm 405 300)" == "$background" ] || fail "something left in the middle"
echo "cutting plane session passed"
