#!/usr/bin/env bash
# tests/scripts/run_quolin_refused_reads.sh PROGRAM EXAMPLES [LSDYNA] -- a read
# that is refused changes nothing, whichever part of it fails. Each refused
# line runs after a model is open with a state read; info, a picture and an
# NKF export after it are those of the same run without the line: a scalar
# or vector number the state lacks in every form of readstate (the beam),
# and every form of readstate and animresults on copies of LSDYNA families
# changed on disk after the open: the ansys d3plot family with its members
# after the first cut, or d3plot01 zeroed with its length kept, and
# d3plot_solid_int with d3plot06's words copied over d3plot05 (the refusal
# names the member and the state), or state 1's time word, 0, written as
# -0 (the time is compared bit for bit); and the ansys family written
# again over members of 40,960 bytes with d3plot01, inside state 1, zeroed
# before the open: state 1's coordinates are all zero (the refusal names
# d3plot01).
# A running job keeps its states:
# node_temperature with d3plot01 ending after state 10, its next state
# appended after the open, reads every state and animates as the same copy
# left alone does. readstate next and previous go on past refused states
# of the beam family to the next one that reads. The d3plot cases are
# skipped (77) without the shared test data.
set -uo pipefail
program="$1"
examples="$2"
lsdyna="${3:-}"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
out="$home/out.txt"
fail() { echo "FAIL: $*"; echo "--- output:"; cat "$out"; exit 1; }

cp "$examples/beam.nkf" .
family="$lsdyna/ansys-example-data/d3plot"
[ -n "$lsdyna" ] && [ -f "$family/d3plot" ] || family=""

# Runs the lines given as a start-up file with the runner's echo on, then
# info, a picture into $1.ppm and an export into $1.nkf; the info lines go
# to $1.txt.
run_then_show() {
  local name="$1"
  shift
  printf '%s\n' 'debugcommands on' "$@" info "toppm \"$PWD/$name.ppm\" 320 240" \
    "export nkf \"$PWD/$name.nkf\"" exit >"$brovik/quolin.qlc"
  run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1
  local status=$?
  [ $status -eq 0 ] || fail "the program ended with status $status"
  sed -n '/^>> info$/,/^>> toppm/p' "$out" | grep -E 'value|displacement|state|step' >"$name.txt"
  grep -q 'Minimum' "$name.txt" || fail "info showed no results: $*"
}

# One base run and its refused lines: each run with the line answers an
# error and shows what the base run shows. A line may carry the error
# message it must print after a '#'.
check_refused() {
  local base="$1" prepare="$2" r message
  shift 2
  IFS='|' read -ra lines <<<"$base"
  $prepare
  run_then_show ref "${lines[@]}"
  for row in "$@"; do
    r="${row%%#*}"
    message="${row#"$r"}"
    $prepare
    run_then_show case "${lines[@]}" "$r"
    grep -qxF "Error: Command: $r" "$out" || fail "$r was not refused"
    [ -z "$message" ] || grep -qxF "${message#\#}" "$out" || fail "$r did not say ${message#\#}"
    diff ref.txt case.txt >/dev/null || fail "$r changed info: $(diff ref.txt case.txt)"
    cmp -s ref.ppm case.ppm || fail "$r changed the picture"
    python3 "$scripts/nkf_blocks.py" ref.nkf case.nkf || fail "$r changed the export"
  done
}

none() { :; }
check_refused "open \"$PWD/beam.nkf\"|readstate 2 1 1" none \
  'readstate 2 99 1' 'readstate 2 1 99' 'readstate current 99 99' 'readstate next 99 1' \
  'readstate previous 1 99' 'readstate first 99 99' 'readstate last 1 99'
echo "a scalar or vector number the state lacks leaves the beam as it was"

if [ -z "$family" ]; then
  echo "no d3plot family under ${lsdyna:-(none given)}: its cases are skipped"
  exit 77
fi
fresh_family() { rm -rf fam && cp -r "$family" fam && chmod -R u+w fam; }
changed="Error: LS-DYNA file $PWD/fam/d3plot01: state 5 is refused, the file changed on disk after it was opened."
check_refused "open \"$PWD/fam/d3plot\"|readstate 2 1 1|; truncate -s 1000 \"$PWD/fam/d3plot01\" \"$PWD/fam/d3plot02\"" \
  fresh_family "readstate 5 1 1#$changed" 'readstate current 1 1' 'readstate next' 'readstate last' \
  'readstate' 'animresults 1 10 1' 'animresults'
echo "a state whose members were cut after the open leaves the family as it was"

zeros="; dd if=/dev/zero of=\"$PWD/fam/d3plot01\" bs=$(stat -c %s "$family/d3plot01") count=1 conv=notrunc status=none"
check_refused "open \"$PWD/fam/d3plot\"|readstate 3 1 1|$zeros" fresh_family \
  "readstate 5 1 1#$changed" "readstate current 1 1#${changed/state 5/state 3}" \
  'animresults 1 10 1'
echo "a state whose member was zeroed after the open leaves the family as it was"

# State 1's time word, 0 and the first word of d3plot01, written as -0
# (the lines are split at '|': the word comes from a file).
printf '\000\000\000\200' >minus0
minus="; dd if=\"$PWD/minus0\" of=\"$PWD/fam/d3plot01\" bs=4 count=1 conv=notrunc status=none"
check_refused "open \"$PWD/fam/d3plot\"|readstate 2 1 1|$minus" fresh_family \
  "readstate 1 1 1#${changed/state 5/state 1}" 'readstate first' 'readstate previous' \
  'animresults 1 3 1'
echo "a state whose time word 0 was written as -0 after the open leaves the family as it was"

# The family written again as one stream over members of 40,960 bytes (a
# state runs over two or three), d3plot01 zeroed: it lies inside state 1,
# whose zero time word is a first state's time. Every state is offered;
# state 1, its coordinates all zero, is refused where it is read.
zeroed_split() {
  rm -rf fam && mkdir fam && cp "$family/d3plot" fam/ && chmod -R u+w fam &&
    { head -c 1174572 "$family/d3plot01"; head -c 55936 "$family/d3plot02"; } |
    split -b 40960 -d -a 2 --numeric-suffixes=1 - fam/d3plot &&
    truncate -s 2048 fam/d3plot31 && head -c 40960 /dev/zero >fam/d3plot01
}
zero="Error: LS-DYNA file $PWD/fam/d3plot01: state 1 is refused, the coordinates of every node are zero."
check_refused "open \"$PWD/fam/d3plot\"|readstate 2 1 1" zeroed_split "readstate 1 1 1#$zero" \
  "readstate first#$zero" 'readstate previous' 'animresults 1 3 1'
grep -q '^Warning: ' "$out" && fail "the family with d3plot01 zeroed inside state 1 warned"
echo "a member of zeros inside a state refuses the state where it is read, naming the member"

solid="$lsdyna/lasso-python/d3plot_solid_int"
fresh_solid() { rm -rf fam && cp -r "$solid" fam && chmod -R u+w fam; }
check_refused "open \"$PWD/fam/d3plot\"|readstate 3 1 1|; cp \"$PWD/fam/d3plot06\" \"$PWD/fam/d3plot05\"" \
  fresh_solid "readstate 5 1 1#${changed/d3plot01/d3plot05}" 'animresults 1 10 1'
echo "a state whose member holds another member's words leaves the family as it was"

# A running job: d3plot01 ends after state 10 (34,968 bytes a state, no end
# marker) at the open; state 11 is appended after it. Every state reads
# and the states animate, each shown as the copy left alone shows it.
temperature="$lsdyna/lasso-python/d3plot_node_temperature"
live_family() {
  rm -rf fam && mkdir fam && cp "$temperature/d3plot" fam/ &&
    head -c 349680 "$temperature/d3plot01" >fam/d3plot01 && chmod -R u+w fam
}
grow="; head -c 384648 \"$temperature/d3plot01\" | tail -c 34968 >>\"$PWD/fam/d3plot01\""
run_states() {
  local name="$1" size="$2"
  shift 2
  live_family
  {
    echo 'debugcommands on'
    echo "open \"$PWD/fam/d3plot\""
    printf '%s\n' "$@"
    for k in 1 2 3 4 5 6 7 8 9 10; do printf 'readstate %d 1 1\ninfo\n' "$k"; done
    echo 'animresults 1 10 1'
    echo info
    echo exit
  } >"$brovik/quolin.qlc"
  run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1 || fail "the program ended with status $?"
  grep -v -e '^>> ;' -e '^Shell command: ' -e '^Time used ' -e '^$' "$out" >"$name.txt"
  [ "$(wc -c <fam/d3plot01)" = "$size" ] || fail "d3plot01 holds $(wc -c <fam/d3plot01) bytes"
}
run_states still 349680
run_states grown 384648 "$grow"
[ "$(grep -c '^State Loaded sucessfully.$' grown.txt)" = 10 ] || fail "a state of the running job was not read"
grep -q 'refused\|Error' grown.txt && fail "the running job refused a read: $(grep 'refused\|Error' grown.txt)"
diff still.txt grown.txt >/dev/null || fail "the running job's states differ: $(diff still.txt grown.txt)"
echo "a running job whose member grew after the open reads every state it had"

# The beam family (12 states of 83,257 words: states 1-11 in d3plot01, state
# 12 in d3plot02) with the node coordinates of the states given zeroed:
# each such state is refused where it is read. readstate next and previous,
# which the window's Step buttons run, go on past refused states to the next
# one that reads, the first refused one named by its refusal, those passed
# over by a warning; with none that reads in that direction nothing changes. animresults from a command file still fails
# over a refused state and changes nothing.
beam="$lsdyna/ansys-example-data/d3plot_beam"
zeroed_beam() {
  local k member at
  rm -rf fam && cp -r "$beam" fam && chmod -R u+w fam
  for k in "$@"; do
    member=fam/d3plot01 at=$(((k - 1) * 83257 + 21))
    [ "$k" -le 11 ] || member=fam/d3plot02 at=21
    dd if=/dev/zero of="$member" bs=4 seek="$at" count=5820 conv=notrunc status=none
  done
}
beam5() { zeroed_beam 5; }
beam_ends() { zeroed_beam 1 6 7 11 12; }
refused() { echo "Error: LS-DYNA file $PWD/fam/d3plot0${2:-1}: state $1 is refused, the coordinates of every node are zero."; }

# Runs the lines after the family's open, each followed by info; the steps
# info shows, one a line, go to $1.txt.
step_session() {
  local name="$1" prepare="$2" line
  shift 2
  $prepare
  {
    echo 'debugcommands on'
    echo "open \"$PWD/fam/d3plot\""
    for line in "$@"; do printf '%s\ninfo\n' "$line"; done
    echo exit
  } >"$brovik/quolin.qlc"
  run_limited "$(wait_limit 120)" "$program" >"$out" 2>&1 || fail "the program ended with status $?"
  sed -n 's/^  - Minimum displacement.*step \([0-9]*\))$/\1/p' "$out" | tr '\n' ' ' >"$name.txt"
}
expect_said() { for line in "$@"; do grep -qxF "$line" "$out" || fail "it did not say $line"; done; }

step_session past5 beam5 'readstate 4 1 1' 'readstate next' 'readstate next' 'readstate previous' \
  'readstate previous'
[ "$(cat past5.txt)" = "4 6 7 6 4 " ] || fail "the steps went $(cat past5.txt), not 4 6 7 6 4"
expect_said "$(refused 5)" 'Warning: State 5 is refused: stepped on to state 6.' \
  'Warning: State 5 is refused: stepped on to state 4.'
grep -q '^Error: Command: ' "$out" && fail "a step past state 5 failed"
echo "a step goes on past a refused state to the next one that reads"

step_session past67 beam_ends 'readstate 5 1 1' 'readstate next' 'readstate previous' \
  'readstate 10 1 1' 'readstate next' 'readstate 2 1 1' 'readstate previous'
[ "$(cat past67.txt)" = "5 8 5 10 10 2 2 " ] || fail "the steps went $(cat past67.txt)"
expect_said "$(refused 6)" "$(refused 11)" "$(refused 1)" \
  'Warning: States 6 to 7 are refused: stepped on to state 8.' \
  'Warning: States 6 to 7 are refused: stepped on to state 5.'
echo "a step goes on past refused states in a row, in both directions"

check_refused "open \"$PWD/fam/d3plot\"|readstate 10 1 1" beam_ends \
  'readstate next#Error: No state after state 10 reads: state 10 stays.'
check_refused "open \"$PWD/fam/d3plot\"|readstate 2 1 1" beam_ends \
  'readstate previous#Error: No state before state 2 reads: state 2 stays.'
check_refused "open \"$PWD/fam/d3plot\"|readstate 4 1 1" beam5 "animresults 1 12 1#$(refused 5)" \
  "animresults 4 6 1#$(refused 5)" "readstate 5 1 1#$(refused 5)" "animresults steps 4-6#$(refused 5)"
echo "with no state that reads past the refused ones nothing changes, nor with animresults"
