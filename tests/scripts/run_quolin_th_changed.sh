#!/usr/bin/env bash
# tests/scripts/run_quolin_th_changed.sh PROGRAM HISTORY_WRITER -- a
# time-history database changed on disk after `th open` (its last five
# states zeroed in place, one state's time word changed, the first state's
# time word 0 written as -0, cut inside its last state, by its last word
# alone or at a state's end): `th plot` of a series and of the Globals
# curve each fail with one error naming the file, and the plot stays as it
# was (its exported curves and the picture with it are those before the
# change); so does the database written over members of one block, with a
# state's time word a member's last word, when the member after it is cut
# (the error names that member); with no plot before, none is made. A database that only grew
# plots its curves as at the open. The database (ten states, 102 words each
# from word 101) is written by HISTORY_WRITER.
set -uo pipefail
program="$1"
writer="$2"
. "$(dirname "$0")/fresh_home.sh"
out="$home/out.txt"
fail() { echo "FAIL: $*"; echo "--- output:"; cat "$out"; exit 1; }

word() { echo $((101 + 102 * $1 + ${2:-0})); }  # word of state $1 (0-based), plus $2
refused="Error: LS-DYNA file $PWD/d3thdt: the curve is refused, the file changed on disk after it was opened."

# Opens the database (written by HISTORY_WRITER with the arguments in
# $history), plots brick 1's von Mises stress, exports the curves and a
# picture as "before", runs the shell line $1, runs the lines after it and
# exports as "after"; the output goes to $out.
history="d3thdt 10"
run_change() {
  local change="$1"
  shift
  rm -f d3thdt* before.* after.*
  "$writer" $history || fail "could not write the time-history database"
  printf '%s\n' 'debugcommands on' "th open \"$PWD/d3thdt\"" 'th plot 1 1 1' "export plot \"$PWD/before.txt\"" \
    "toppm \"$PWD/before.ppm\" 320 240" "; $change" "$@" "export plot \"$PWD/after.txt\"" \
    "toppm \"$PWD/after.ppm\" 320 240" exit >"$brovik/quolin.qlc"
  run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1 || fail "the program ended with status $?"
  [ -s before.txt ] && [ -s before.ppm ] || fail "nothing was exported before the change"
  cmp -s before.txt after.txt || fail "$change: the curves changed: $(diff before.txt after.txt)"
  cmp -s before.ppm after.ppm || fail "$change: the picture changed"
}

zero() { echo "dd if=/dev/zero of=\"$PWD/d3thdt\" bs=4 seek=$1 count=$2 conv=notrunc status=none"; }
for change in "$(zero "$(word 5)" 510)" \
  "printf '\\000\\000\\000\\101' | dd of=\"$PWD/d3thdt\" bs=4 seek=$(word 6) conv=notrunc status=none" \
  "printf '\\000\\000\\000\\200' | dd of=\"$PWD/d3thdt\" bs=4 seek=$(word 0) conv=notrunc status=none" \
  "truncate -s $((4 * $(word 9 60))) \"$PWD/d3thdt\"" "truncate -s $((4 * $(word 9 101))) \"$PWD/d3thdt\"" \
  "truncate -s $((4 * $(word 8))) \"$PWD/d3thdt\""; do
  run_change "$change" 'th plot 1 1 1' 'th plot 4 1'
  [ "$(grep -cxF "$refused" "$out")" = 2 ] || fail "$change: not refused twice naming d3thdt"
  grep -qxF "Error: Command: th plot 1 1 1" "$out" || fail "$change: th plot did not fail"
  grep -qxF "Error: Command: th plot 4 1" "$out" || fail "$change: the Globals plot did not fail"
  grep -q "Error executing sub command" "$out" && fail "$change: a second error"
done
echo "a database changed after the open refuses the plot and keeps it"

# The database as one stream over members of one 512-word block, its
# states of 922 words (820 globals more): state 2's time word is d3thdt01's
# last word, its first values d3thdt02's first words. d3thdt02 cut to three
# words or to none after the open: refused naming d3thdt02.
history="d3thdt 10 820"
for cut in 12 0; do
  run_change "truncate -s $cut \"$PWD/d3thdt02\"" 'th plot 1 1 1' 'th plot 4 1'
  [ "$(grep -cxF "${refused/d3thdt:/d3thdt02:}" "$out")" = 2 ] || fail "d3thdt02 cut to $cut bytes: not refused twice naming it"
  [ "$(grep -c '^Error: LS-DYNA' "$out")" = 2 ] || fail "d3thdt02 cut to $cut bytes: another refusal"
done
history="d3thdt 10"
rm -f d3thdt*
echo "a database over members with a state's time word a member's last word refuses the plot naming the cut member"

# No plot before the refused one: none is made. A plot that reads no
# curve (no series named) after it is made as before.
"$writer" d3thdt 10 || fail "could not write the time-history database"
printf '%s\n' 'debugcommands on' "th open \"$PWD/d3thdt\"" "; truncate -s $((4 * $(word 8))) \"$PWD/d3thdt\"" \
  'th plot 1 1 1' 'plt show' 'th plot 1 1' 'plt show' exit >"$brovik/quolin.qlc"
run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1 || fail "the program ended with status $?"
grep -qxF "$refused" "$out" || fail "the first plot was not refused"
[ "$(grep -c "no plot exists" "$out")" = 1 ] || fail "no plot after the refusal, then one"
grep -qxF "Error: Command: th plot 1 1" "$out" && fail "the plot of no series failed"
grep -qxF "Show plot." "$out" || fail "the plot of no series was not made"
echo "a refused first plot makes no plot"

# Grown by a state: the curve of the ten states listed at the open.
run_change "tail -c $((4 * 102)) \"$PWD/d3thdt\" >>\"$PWD/d3thdt\"" 'th plot 1 1 1'
grep -q "Error" "$out" && fail "the grown database refused the plot"
[ "$(wc -c <d3thdt)" = $((4 * $(word 11))) ] || fail "the database did not grow"
echo "a database that only grew plots as at the open"
