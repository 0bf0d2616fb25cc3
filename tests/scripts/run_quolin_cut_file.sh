#!/usr/bin/env bash
# tests/scripts/run_quolin_cut_file.sh PROGRAM EXAMPLES -- runs the viewer in a
# fresh home on the example beam cut after 6000 bytes, inside a value line of
# its block *RESULTS 2, as "quolin t.nkf": the open fails with that block's
# error naming t.nkf, and nothing says the file was opened. The viewer keeps
# running after a failed open, so it is stopped once the open's last report
# has come (or after the limit of 60 s, times the wait scale).
set -uo pipefail
program="$1"; examples="$2"
. "$(dirname "$0")/fresh_home.sh"
cut="$home/work/t.nkf"
out="$home/out.txt"
head -c 6000 "$examples/beam.nkf" > "$cut"
"$program" "$cut" >"$out" 2>&1 &
pid=$!
tenths=$(($(wait_limit 60) * 10))
for ((i = 0; i < tenths; i++)); do
  grep -q "Error initializing interface\." "$out" && grep -qxF "Error: NKF file : $cut" "$out" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 1  # what the open would print after its failure: "opened." must not come
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
cat "$out"
fail() { echo "FAIL: $*"; exit 1; }
grep -qxF "Error: Block type : *RESULTS. ID = 2 : The file ends inside this block: its last line has no line end, the file is cut short." "$out" || fail "no error of *RESULTS 2"
grep -qxF "Error: NKF file : $cut" "$out" || fail "the error does not name $cut"
grep -q "opened\." "$out" && fail "the cut file was reported opened"
echo "the cut file was refused"
