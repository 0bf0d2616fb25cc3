#!/usr/bin/env bash
# tests/scripts/run_quolin_damaged_names.sh PROGRAM EXAMPLES WRITER -- files
# that must not pass for good ones, damaged files that must not fail whole,
# names that must reach their command whole:
#   1. on the example beam, "readvolume" of a 1-byte file and of 4 KB of
#      random bytes, and "readlines" of a stiffener file with 64 NUL bytes
#      in its one line: each fails with an error naming its file;
#   2. "ride save" and "ride load" of a quoted name with a blank write and
#      read that name (no quote characters in it), and "th open" of a
#      quoted missing name names it once, without doubled quotes;
#   3. "export nkf" of a grid of one step, "all" and "alldata" (to a quoted
#      name with a blank), writes the whole database and answers 0;
#   4. "quolin 'x\"y.nkf'" with files "x" and "xy.nkf" at hand: refused
#      naming it, and neither of the others is opened;
#   5. LS-DYNA families of WRITER (write_damaged_sets: states of 14 words
#      with element deletion, in d3plot01 and d3plot02) whose d3plot01 ends
#      inside a word, in 4- and 8-byte words: five states and one, d3plot01
#      cut to 17 bytes (its first state runs on into d3plot02: 1 state);
#      four states split inside the fourth, d3plot01 with 2 bytes more (the
#      states run on: 4 states). Each opens with those states, a warning
#      names d3plot01 with the last of them, each state reads and so does
#      an animation of them all; the state after them is no state.
set -uo pipefail
program="$1"; examples="$2"; writer="$3"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
out="$home/out.txt"
fail() { echo "FAIL: $*"; cat "$out"; exit 1; }

cp "$examples/beam.nkf" beam.nkf
printf 'x' > one.vol
head -c 4096 /dev/urandom > random.vol
{ printf 'Name Number x y z x y z\nS1\t'; head -c 64 /dev/zero; printf '3 0 0 0 1000 0 0\n'; } \
  > nul.lin
printf '%s\n' 'debugcommands on' "readvolume \"$PWD/one.vol\"" \
  "readvolume \"$PWD/random.vol\"" "readlines \"$PWD/nul.lin\"" \
  "ride save \"$PWD/a b.rid\"" "ride load \"$PWD/a b.rid\"" "th open \"$PWD/missing file\"" \
  "grid3d 2 2 2 1 1 \"$PWD/g.nkf\"" "export nkf $PWD/o.nkf all" \
  "export nkf \"$PWD/o 2.nkf\" alldata" 'exit' > "$brovik/fileopen.qlc"
timeout 60 "$program" beam.nkf >"$out" 2>&1 || fail "run 1 ended with status $?"

# The messages a failed line gave before the runner's report of it.
failed_with() { # failed_with LINE TEXT
  awk -v line="$1" -v text="$2" '
    /^>>> / { at = (substr($0, 5) == line); seen = 0; next }
    at && index($0, text) { seen = 1 }
    at && $0 == "Error: Command: " line { found = 1; ok = seen; exit }
    END { exit found ? !ok : 2 }' "$out"
}
for f in one.vol random.vol; do
  failed_with "readvolume \"$PWD/$f\"" "File \"$PWD/$f\"" || fail "readvolume $f"
done
failed_with "readlines \"$PWD/nul.lin\"" "$PWD/nul.lin" || fail "readlines of NUL bytes"

[ -f "a b.rid" ] || fail "ride save did not write 'a b.rid'"
ls | grep -q '"' && fail "a file name with quote characters was written"
grep -qF "Ride specification read from command file: $PWD/a b.rid" "$out" || fail "ride load"
grep -qF "File \"$PWD/missing file\": no such file." "$out" || fail "th open: the name"
grep -qF '""' "$out" && fail "a name in doubled quotes"

for f in o.nkf "o 2.nkf"; do
  grep -qxF "Successful export of entire result database to file: $PWD/$f" "$out" ||
    fail "export nkf $f: not the whole database"
  [ -s "$f" ] || fail "export nkf $f: nothing written"
done
grep -qF "Error: Command: export nkf" "$out" && fail "an export failed"

# The viewer keeps running after a file that does not open: stopped once
# the refusal has come (the parse of the command line ends with it).
cp beam.nkf x
cp beam.nkf xy.nkf
rm "$brovik/fileopen.qlc"
bash "$scripts/run_quolin_until.sh" "File name contains a double quote" 60 \
  "$program" 'x"y.nkf' >"$out" 2>&1
grep -qF "File name contains a double quote or a line break: x\"y.nkf" "$out" ||
  fail "quolin 'x\"y.nkf': no refusal naming it"
grep -q "opened\." "$out" && fail "quolin 'x\"y.nkf' opened a file"

# A family with a member ending inside a word opens with the states of its
# whole words: "STATES SPLIT BYTES" for the writer, then the states kept.
for words in 4 8; do
  for family in "6 70 17 1" "4 47 $((47 * words + 2)) 4"; do
    set -- $family
    states=$4
    dir="$PWD/cut_${words}_$1_$3"
    mkdir "$dir"
    "$writer" d3plot "$dir" "$words" "$1" "$2" "$3" || fail "write_damaged_sets d3plot $words $family"
    {
      echo 'debugcommands on'
      for s in $(seq 1 $((states + 1))); do echo "readstate $s 1 1"; done
      [ "$states" -gt 1 ] && echo "animresults 1 $states 1"
      echo exit
    } >"$brovik/fileopen.qlc"
    timeout 60 "$program" "$dir/d3plot" >"$out" 2>&1 || fail "$dir: status $?"
    grep -qxF "Primary file $dir/d3plot opened." "$out" || fail "$dir: not opened"
    grep -q "^Warning: LS-DYNA family file $dir/d3plot01 ends inside .*states end with state $states at time" \
      "$out" || fail "$dir: no warning naming d3plot01 and state $states"
    for s in $(seq 1 "$states"); do
      grep -qxF "Error: Command: readstate $s 1 1" "$out" && fail "$dir: readstate $s failed"
    done
    grep -qxF "Error: Command: readstate $((states + 1)) 1 1" "$out" ||
      fail "$dir: readstate $((states + 1)) answered 0"
    grep -qF "Error: Command: animresults" "$out" && fail "$dir: the animation failed"
  done
done
echo "damaged files refused, names kept whole, a cut family opened with its whole states"
