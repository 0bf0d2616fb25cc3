#!/usr/bin/env bash
# tests/scripts/run_quolin_annotation.sh PROGRAM -- runs the viewer on a unit
# hexahedron in a fresh home whose fileopen.qlc reads a raw line file, adds
# a global sphere and exits. Expects status 0 and the command texts (the
# line count with the time taken, the primitive) on standard error.
set -uo pipefail
program="$1"
. "$(dirname "$0")/fresh_home.sh"

write_unit_hex unithex.nkf
cat >> unithex.nkf <<'NKF'
*RESULTS 1
%DIMENSION 1
%PER_NODE #1
0
0
0
0
1
1
1
1
*QUOLINSCALAR 1
%NAME "z"
%STEP 1
1
NKF
# The command-file runner works in the command file's folder.
printf '%s\n' '0 0 0' '1 0 0' '1 1 0' > "$home/.config/Brovik/raw.txt"
printf '%s\n' 'debugcommands on' 'readlines raw.txt' 'primitive sphere 5 0 0 1 255 0 0' \
  'exit' > "$home/.config/Brovik/fileopen.qlc"

timeout "$(wait_limit 60)" "$program" unithex.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
[[ "$err" =~ Read\ 1\ line\ segments,\ 3\ nodes\ from\ file\ raw\.txt:\ [0-9.e+-]+\ seconds\. ]] ||
  fail "missing: the line count with the seconds"
[[ "$err" == *"Added global sphere primitive."* ]] || fail "missing: the sphere"
echo "annotation session passed"
