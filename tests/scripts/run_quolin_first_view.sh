#!/usr/bin/env bash
# tests/scripts/run_quolin_first_view.sh PROGRAM EXAMPLES -- runs the viewer
# in a fresh home, with the site's "fileopen.qlc" beside the program and
# none of the user's:
#   1. a command file that loads no model, named on the command line (the
#      program is stopped once it is open): the site's file runs after it,
#      and no line is an error;
#   2. from a start-up command file that ends in "exit", "open" of an
#      empty file: the detection's two lines, then the file
#      line saying why ('File "...": it is empty.');
#   3. the beam exported in that fresh session: word 243 of the main
#      settings record (draw while an animation is set up) is 1, and 0 in
#      a second export after "nodrawanimationsetup".
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"

echo 'legendticks 5' > settings.qlc
bash "$scripts/run_quolin_until.sh" "Primary file .*settings\.qlc opened\." 60 "$program" \
  "$PWD/settings.qlc" >"$home/err.txt" 2>&1 || fail "run 1: the open did not end"
grep -q 'Commands read from file fileopen.qlc.' "$home/err.txt" || fail "run 1: the site's file did not run"
if grep -q "Error" "$home/err.txt"; then fail "run 1: an error"; fi

: > empty.nkf
cp "$examples/beam.nkf" beam.nkf
printf '%s\n' "open \"$PWD/empty.nkf\"" "open \"$PWD/beam.nkf\"" "export nkf \"$PWD/a.nkf\"" \
  'nodrawanimationsetup' "export nkf \"$PWD/b.nkf\"" 'exit' > "$brovik/quolin.qlc"
timeout "$(wait_limit 60)" "$program" 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "run 2 ended with status $status"
for line in 'Error: Unable to auto-detect primary file type.' \
  'Error: Please open file again and select the correct file type.' \
  "Error: File \"$PWD/empty.nkf\": it is empty."; do
  grep -qxF "$line" "$home/err.txt" || fail "run 2: missing \"$line\""
done
[ -s a.nkf ] && [ -s b.nkf ] || fail "run 2: missing an export"
python3 - "$scripts" <<'PY' || fail "run 2: word 243 of the exports"
import struct, sys
sys.path.insert(0, sys.argv[1])
from nkf_blocks import blocks, MAIN
for name, expected in (('a.nkf', 1), ('b.nkf', 0)):
    s = blocks(name)[(1018, 1)]
    word = struct.unpack_from('<i', s, MAIN + 4 * 243)[0]
    assert word == expected, (name, word)
PY
echo "first view session passed"
