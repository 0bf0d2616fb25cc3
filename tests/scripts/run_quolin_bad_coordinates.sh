#!/usr/bin/env bash
# tests/scripts/run_quolin_bad_coordinates.sh PROGRAM WRITER [D3PLOT] -- node
# coordinates that are not finite, in the program. A unit hexahedron whose
# node 3 has the y "1e400" (+inf as a float) is refused on open, naming the
# file and the node. The reservoir set of WRITER (write_damaged_sets) whose
# event 2 holds node 116 with a z of NaN, +inf or -inf opens on event 3:
# "readstate 2" and an animation over events 1-3 are refused naming the
# file, the event and the node, and leave the view as it was (the same
# image before and after); events 1 and 3 read, alone and animated. A copy
# of the LS-DYNA projectile family D3PLOT (double words, one state a
# member) whose third state has node 1's x set to +inf opens with its 16
# states: "readstate 3" and an animation over states 1-4 are refused naming
# the member, the state and the node, and leave the view as it was; states
# 2 and 4 read. The d3plot half is skipped (77) without the shared test
# data.
set -uo pipefail
program="$1"
writer="$2"
d3plot="${3:-}"
. "$(dirname "$0")/fresh_home.sh"
out="$home/out.txt"
fail() { echo "FAIL: $*"; echo "--- output:"; cat "$out"; exit 1; }

# The runner reports each failed line as "Error: Command: <line>".
failed() { grep -qxF "Error: Command: $1" "$out"; }

write_unit_hex hex.nkf
sed -i '5s/.*/1 1e400 0/' hex.nkf
# A failed open runs no "fileopen.qlc": the start-up file opens it.
printf '%s\n' "open \"$PWD/hex.nkf\"" 'exit' >"$brovik/quolin.qlc"
run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1
status=$?
rm "$brovik/quolin.qlc"
[ $status -eq 0 ] || fail "hex.nkf: the program ended with status $status"
grep -qxF "Error: Block type : *NODES. ID = 1 : Node 3 has a coordinate that is not finite." "$out" ||
  fail "hex.nkf: no refusal naming node 3"
grep -qxF "Error: NKF file : $PWD/hex.nkf" "$out" || fail "hex.nkf: the refusal does not name the file"
failed "open \"$PWD/hex.nkf\"" || fail "the open of hex.nkf answered 0"
echo "the NKF file with a coordinate of 1e400 was refused"

for z in nan inf -inf; do
  set="$PWD/res_$z"
  mkdir "$set"
  "$writer" reservoir "$set" "$z" || fail "write_damaged_sets reservoir $z"
  refusal="Error: Error reading file $set/res.k00: event 2, the coordinates of node 116 are not finite."
  printf '%s\n' 'readstate 3 1 1' "toppm \"$set/before.ppm\" 320 240" 'readstate 2 1 1' \
    'animresults 1 3 1' "toppm \"$set/after.ppm\" 320 240" 'readstate 1 1 1' \
    'animresults steps 1 3' 'exit' >"$brovik/fileopen.qlc"
  run_limited "$(wait_limit 120)" "$program" "$set/res.e00" >"$out" 2>&1
  status=$?
  [ $status -eq 0 ] || fail "reservoir $z: the program ended with status $status"
  grep -qxF "Primary file $set/res.e00 opened." "$out" || fail "reservoir $z: not opened"
  failed 'readstate 3 1 1' && fail "reservoir $z: readstate 3 failed"
  failed 'readstate 2 1 1' || fail "reservoir $z: readstate 2 answered 0"
  failed 'animresults 1 3 1' || fail "reservoir $z: animresults 1 3 1 answered 0"
  [ "$(grep -cxF "$refusal" "$out")" -eq 2 ] ||
    fail "reservoir $z: not two refusals naming res.k00, event 2 and node 116"
  for f in before after; do [ -s "$set/$f.ppm" ] || fail "reservoir $z: missing $f.ppm"; done
  cmp -s "$set/before.ppm" "$set/after.ppm" || fail "reservoir $z: the view changed after the refusals"
  failed 'readstate 1 1 1' && fail "reservoir $z: readstate 1 failed"
  failed 'animresults steps 1 3' && fail "reservoir $z: animresults steps 1 3 failed"
done
echo "the reservoir event with a coordinate of NaN, +inf or -inf was refused when read, the others read"

if [ -z "$d3plot" ] || [ ! -f "$d3plot" ]; then
  echo "no projectile database at ${d3plot:-(none given)}: the d3plot half is skipped"
  exit 77
fi
mkdir family
cp "$(dirname "$d3plot")"/d3plot* family/
chmod u+w family/*
# State 3 begins at word 0 of d3plot03: its time, 20 global words, then the
# coordinates, node 1's x first (little-endian doubles).
printf '\x00\x00\x00\x00\x00\x00\xf0\x7f' |
  dd of=family/d3plot03 bs=8 seek=21 conv=notrunc status=none
db="$PWD/family/d3plot"
refusal="Error: LS-DYNA file $PWD/family/d3plot03: state 3 is refused, the coordinates of node 1 are not finite."
printf '%s\n' 'readstate 2 1 1' "toppm \"$PWD/before.ppm\" 320 240" 'readstate 3 1 1' \
  'animresults 1 4 1' "toppm \"$PWD/after.ppm\" 320 240" 'readstate 4 1 1' 'animresults 4 5 1' \
  'exit' >"$brovik/fileopen.qlc"
run_limited "$(wait_limit 120)" "$program" "$db" >"$out" 2>&1
status=$?
[ $status -eq 0 ] || fail "the program ended with status $status"
failed 'readstate 2 1 1' && fail "readstate 2 failed"
failed 'readstate 3 1 1' || fail "readstate 3 answered 0"
failed 'animresults 1 4 1' || fail "animresults 1 4 1 answered 0"
# The open refuses nothing: the two refusals are those of the two lines.
[ "$(grep -cxF "$refusal" "$out")" -eq 2 ] || fail "not two refusals naming d3plot03, state 3 and node 1"
for f in before after; do [ -s $f.ppm ] || fail "missing: $f.ppm"; done
cmp -s before.ppm after.ppm || fail "the view changed after the refusals"
failed 'readstate 4 1 1' && fail "readstate 4 failed"
failed 'animresults 4 5 1' && fail "animresults 4 5 1 failed"
echo "the d3plot state with a coordinate of +inf was refused when read, the others read"
