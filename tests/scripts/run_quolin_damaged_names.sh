#!/usr/bin/env bash
# tests/scripts/run_quolin_damaged_names.sh PROGRAM EXAMPLES WRITER [LSDYNA] -- files
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
#      cut to 17 bytes (no state is whole); four states split inside the
#      fourth, d3plot01 with 2 bytes more (the three before the damage).
#      Each opens with those states, one warning names d3plot01 with where
#      they end, each state reads and so does an animation of them all; the
#      state after them is no state;
#   6. copies of the real families in LSDYNA (the shared test data) with one
#      member cut short: each opens with the states wholly before the cut,
#      each of which "readstate" and "info" show with the values the whole
#      family has for it, one warning names the cut member with where the
#      states end, and the state after them is no state. Skipped (77)
#      without the shared test data;
#   7. with the example beam open, "open" of the ansys family whose base
#      file is cut inside its geometry (to 19 of its 20 blocks): refused
#      with an error naming it, and "info" still shows the beam; the family
#      with d3plot01 all zeros opens with no state, one warning naming
#      d3plot01 saying it holds only zeros; both in folders named
#      "geometry, no state is whole" and "zeros, states end y";
#   8. copies of the real families with two members damaged at once, with
#      zeros from a state's time word on, and with a run still writing: the
#      ansys d3plot01 cut inside its state 11 and d3plot02 cut too (ten
#      states, the warning names d3plot01), the ansys base file cut inside
#      its geometry and d3plot01 without its end marker (refused, naming
#      d3plot), node_temperature's d3plot01 zero from state 12's time word
#      on (ten states: state 11 ends with zeros of its own, so the zeros
#      begin inside it and it is dropped), and the ansys
#      d3plot02 holding its state and one more without the end marker (23
#      states and no warning: a run still writing);
#   9. the ansys d3plot01 zero from a quarter into state 2 to its end (one
#      state: state 2 is not shown with zeros for its values), the
#      projectile's numbered members each cut to 457,376 bytes (no state is
#      assembled across the cuts), the ansys states written again over
#      members of 40,960 bytes (22 states, as the family has them) with
#      d3plot30, which state 22 fills, all zeros (22 states, no warning:
#      zeros inside a state are its values), and node_temperature's base
#      file cut inside its part titles with d3plot01 ending after state 10
#      (named; no state);
#  10. the ansys states over members of 40,960 bytes with d3plot20 longer by
#      1,000 bytes (13 states, the warning names d3plot20: it has words past
#      its writer's length), and the beam family written again over members
#      of its base file's length with state 1 zero after its coordinates
#      (a model at rest): 12 states, no warning, the values of the family
#      with the same zeros written whole.
#  11. the ansys states over members of 40,960 bytes with d3plot06 a copy of
#      d3plot05 (state 5's time, in the copy, lies above state 6's: three
#      states, each with the values of the family whole, the warning names
#      d3plot06), the base file and d3plot01-d3plot03 alone with d3plot02
#      longer by 1,000 bytes (no state, d3plot02 has words past its writer's
#      length), and the same states over members of 2,048 bytes (the time
#      words confirm that length, shorter than the base file's: 22 states,
#      the last member, not padded to whole blocks, is named).
#  12. families written again as the splitting writer fills members, each
#      state offered shown with the values of the family written whole:
#      the ansys states over members of 40,960 bytes cut at state 21's end
#      without the end marker, a job still writing (21 states, no warning),
#      and with d3plot10 and d3plot11 swapped (no state that runs into them,
#      the warning names one of them); the ansys state 1 over members of
#      47,104 bytes, longer than the base file, d3plot01 and the last (one
#      state, no warning); states 1-3 over members of 43,008 bytes with
#      d3plot01 and d3plot02 a block longer (the warning names one of
#      them); the projectile's states over members of 700,416 bytes with
#      d3plot02 or d3plot08 a copy of the last (no state, or states 1-5:
#      none keeps the copy's words; the warning names the copy).
#  13. the same, where the family's end confirms the writer's length: the
#      ansys states 1-2 over members of 43,008 bytes with d3plot01 and
#      d3plot02, or d3plot01 alone, a block of zeros longer (no state
#      offered that is not the family's, d3plot01 named); all 22 states over
#      43,008-byte members with d3plot07 the first 26,284 bytes of d3plot29,
#      cut after its end marker (the states before it, d3plot07 named); the
#      qd-cae state over members of 190,464 bytes, a block shorter than its
#      base file, and the ansys states 1-5 as a job still writing over
#      members of 38,912 bytes (every state, no warning); the projectile's
#      states over 700,416-byte members with d3plot10 and d3plot11 swapped
#      (states 1-6, which lie wholly before them, one of them named); the
#      ansys states with d3plot27 and d3plot28 swapped and the projectile's
#      with d3plot19 and d3plot20 (no time word after the disagreement
#      judges it: the states before the pair, one of the pair named); the
#      projectile's with d3plot03 and d3plot04 swapped or d3plot10 copied
#      over d3plot02 (the words cannot tell: no state, d3plot02 and
#      d3plot03 named as the two whose times disagree), and the last member
#      swapped forward there (d3plot20 with d3plot21: states 1-14) and in the
#      ansys states over 43,008-byte members (d3plot28 with d3plot29: states
#      1-20), the member holding the end marker named.
set -uo pipefail
program="$1"; examples="$2"; writer="$3"; lsdyna="${4:-}"
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
timeout "$(wait_limit 60)" "$program" beam.nkf >"$out" 2>&1 || fail "run 1 ended with status $?"

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

# The one warning of a cut member: it names the member and where the states
# end (after STATES states).
warned_once() { # warned_once MEMBER STATES
  local end="states end with state $2 at time"
  [ "$2" -eq 0 ] && end="no state is whole\\."
  [ "$(grep -c '^Warning: ' "$out")" -eq 1 ] &&
    grep -Eq "^Warning: LS-DYNA family file $1 (ends inside|ends after state [0-9]+ without its end marker|is cut short after its end marker).*$end" "$out"
}

# A family with a member ending inside a word opens with the states wholly
# before the damage: "STATES SPLIT BYTES" for the writer, then the states kept.
for words in 4 8; do
  for family in "6 70 17 0" "4 47 $((47 * words + 2)) 3"; do
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
    timeout "$(wait_limit 60)" "$program" "$dir/d3plot" >"$out" 2>&1 || fail "$dir: status $?"
    grep -qxF "Primary file $dir/d3plot opened." "$out" || fail "$dir: not opened"
    warned_once "$dir/d3plot01" "$states" || fail "$dir: not one warning naming d3plot01 and state $states"
    for s in $(seq 1 "$states"); do
      grep -qxF "Error: Command: readstate $s 1 1" "$out" && fail "$dir: readstate $s failed"
    done
    grep -qxF "Error: Command: readstate $((states + 1)) 1 1" "$out" ||
      fail "$dir: readstate $((states + 1)) answered 0"
    grep -qF "Error: Command: animresults" "$out" && fail "$dir: the animation failed"
  done
done
echo "damaged files refused, names kept whole, a cut family opened with its whole states"

if [ -z "$lsdyna" ] || [ ! -d "$lsdyna" ]; then
  echo "no shared LS-DYNA test data at ${lsdyna:-(none given)}: the real families are skipped"
  exit 77
fi
# Runs the program on FAMILY/d3plot reading states 1 to STATES, each shown
# by "info", and then state STATES + 1; the minima and maxima of the
# displacements and values go to VALUES.
read_states() { # read_states FAMILY STATES VALUES
  {
    echo 'debugcommands on'
    for s in $(seq 1 "$2"); do echo "readstate $s 1 1"; echo info; done
    echo "readstate $(($2 + 1)) 1 1"
    echo exit
  } >"$brovik/fileopen.qlc"
  timeout "$(wait_limit 120)" "$program" "$1/d3plot" >"$out" 2>&1 || fail "$1: status $?"
  grep -qxF "Primary file $1/d3plot opened." "$out" || fail "$1: not opened"
  grep -E '^  - (Minimum|Maximum) (displacement|node value|element value)' "$out" >"$3"
}
# The families cut below read whole once each, every state of the ansys
# family and the projectile, d3plot_solid_int's first 8: the values of their
# first states are the lines they begin with (6 a state), whichever run
# below compares with them.
ansys="$lsdyna/ansys-example-data/d3plot"
projectile="$lsdyna/ansys-example-data/d3plot_projectile"
mkdir whole projwhole solidwhole
cp "$ansys"/d3plot* whole/
cp "$projectile"/d3plot* projwhole/
cp "$lsdyna/lasso-python/d3plot_solid_int"/d3plot* solidwhole/
read_states "$PWD/whole" 22 whole22.txt
read_states "$PWD/projwhole" 16 projwhole.txt
read_states "$PWD/solidwhole" 8 solidwhole.txt
[ "$(wc -l <whole22.txt)" -eq $((6 * 22)) ] || fail "the whole ansys family: not every state shown"
[ "$(wc -l <projwhole.txt)" -eq $((6 * 16)) ] || fail "the whole projectile: not every state shown"
[ "$(wc -l <solidwhole.txt)" -eq $((6 * 8)) ] || fail "the whole d3plot_solid_int: not every state shown"
declare -A read_whole=(["ansys-example-data/d3plot"]=whole22.txt
  ["ansys-example-data/d3plot_projectile"]=projwhole.txt
  ["lasso-python/d3plot_solid_int"]=solidwhole.txt)
# "FOLDER MEMBER BYTES STATES": the member cut to BYTES bytes keeps STATES
# states. The ansys d3plot01 holds 21 states of 13,983 words.
cut=0
for case in "ansys-example-data/d3plot d3plot01 17 0" "ansys-example-data/d3plot d3plot01 4 0" \
  "ansys-example-data/d3plot d3plot01 $((5 * 13983 * 4)) 5" \
  "lasso-python/d3plot_solid_int d3plot01 5 0" \
  "lasso-python/d3plot_solid_int d3plot07 $((12288 - 8)) 7" \
  "ansys-example-data/d3plot_projectile d3plot05 1000 4"; do
  set -- $case
  cut=$((cut + 1))
  dir="$PWD/real_$cut"
  mkdir "$dir"
  cp "$lsdyna/$1"/d3plot* "$dir/"
  chmod u+w "$dir"/*
  head -n $((6 * $4)) "${read_whole[$1]}" >whole.txt
  head -c "$3" "$lsdyna/$1/$2" >"$dir/$2"
  read_states "$dir" "$4" kept.txt
  warned_once "$dir/$2" "$4" || fail "$dir: not one warning naming $2 and state $4"
  grep -qxF "Error: Command: readstate $(($4 + 1)) 1 1" "$out" ||
    fail "$dir: readstate $(($4 + 1)) of the cut family answered 0"
  [ "$(wc -l <kept.txt)" -eq $((6 * $4)) ] || fail "$dir: not every state shown"
  cmp -s whole.txt kept.txt || { diff whole.txt kept.txt; fail "$dir: values differ from the whole family's"; }
done
echo "real families with a member cut short opened with the states before the cut, as the whole ones have them"

# The ansys family with its base file cut inside its geometry, and with
# d3plot01 all zeros, opened over the example beam, in folders whose names
# hold the words of where states end: the lines keep their words.
geometry="geometry, no state is whole" zeros="zeros, states end y"
mkdir "$geometry" "$zeros"
cp "$ansys"/d3plot* "$geometry/"
cp "$ansys"/d3plot* "$zeros/"
chmod u+w "$geometry"/* "$zeros"/*
head -c 38912 "$ansys/d3plot" >"$geometry/d3plot"
head -c "$(wc -c <"$ansys/d3plot01")" /dev/zero >"$zeros/d3plot01"
printf '%s\n' 'debugcommands on' "open \"$PWD/$geometry/d3plot\"" info "open \"$PWD/$zeros/d3plot\"" \
  'readstate 1 1 1' exit >"$brovik/fileopen.qlc"
timeout "$(wait_limit 60)" "$program" beam.nkf >"$out" 2>&1 || fail "cut geometry, zeros: status $?"
grep -qxF "Error: LS-DYNA family file $PWD/$geometry/d3plot ends inside its geometry, no state is whole." \
  "$out" || fail "the cut base file is not named"
grep -qxF "Error: Command: open \"$PWD/$geometry/d3plot\"" "$out" || fail "the cut base file opened"
sed -n '/^>>> info/,/^>>> open/p' "$out" | grep -q 'Number of nodes\.*: 99$' ||
  fail "the beam did not stay"
grep -qxF "Primary file $PWD/$zeros/d3plot opened." "$out" || fail "the zero family did not open"
[ "$(grep -c '^Warning: ' "$out")" -eq 1 ] &&
  grep -qxF "Warning: LS-DYNA family file $PWD/$zeros/d3plot01 holds only zeros, no state is whole." \
    "$out" || fail "not one warning that d3plot01 holds only zeros"
grep -qxF "Error: Command: readstate 1 1 1" "$out" || fail "the zero family offers a state"
echo "a base file cut inside its geometry refused by name, a member of zeros named"

# Opens FAMILY/d3plot and reads states STATES and STATES + 1: the one
# message must be TEXT, STATES must read and the next must not.
damaged_family() { # damaged_family FAMILY STATES TEXT (TEXT empty: whole, without a warning)
  printf '%s\n' 'debugcommands on' "readstate $2 1 1" "readstate $(($2 + 1)) 1 1" exit \
    >"$brovik/fileopen.qlc"
  timeout "$(wait_limit 120)" "$program" "$1/d3plot" >"$out" 2>&1
  if [ -z "$3" ]; then
    grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "$1: a warning on a whole family"
  else
    [ "$(grep -c '^Warning: \|^Error: LS-DYNA' "$out")" -eq 1 ] && grep -qxF "$3" "$out" ||
      fail "$1: not the one message: $3"
  fi
  [ "$2" -gt 0 ] && grep -qxF "Error: Command: readstate $2 1 1" "$out" && fail "$1: state $2 not read"
  grep -qxF "Error: Command: readstate $(($2 + 1)) 1 1" "$out" || fail "$1: state $(($2 + 1)) read"
}
temperature="$lsdyna/lasso-python/d3plot_node_temperature"
mkdir two geometry01 zeros12 live
for d in two geometry01 live; do cp "$ansys"/d3plot* "$d/"; done
cp "$temperature"/d3plot* zeros12/
chmod u+w two/* geometry01/* zeros12/* live/*
head -c 587284 "$ansys/d3plot01" >two/d3plot01
head -c 50000 "$ansys/d3plot02" >two/d3plot02
head -c 38912 "$ansys/d3plot" >geometry01/d3plot
head -c 1174572 "$ansys/d3plot01" >geometry01/d3plot01
{ head -c 384648 "$temperature/d3plot01"; head -c $((804864 - 384648)) /dev/zero; } >zeros12/d3plot01
# d3plot02's one state (13,983 words) twice, the second at time 0.0011
# (0x3A902DE0), without the end marker.
{ head -c 55932 "$ansys/d3plot02"; printf '\xe0\x2d\x90\x3a'; head -c 55932 "$ansys/d3plot02" | tail -c +5; } \
  >live/d3plot02
damaged_family "$PWD/two" 10 \
  "Warning: LS-DYNA family file $PWD/two/d3plot01 ends inside state 11, states end with state 10 at time 0.000449755."
damaged_family "$PWD/zeros12" 10 \
  "Warning: LS-DYNA family file $PWD/zeros12/d3plot01 holds only zeros from state 11 on, states end with state 10 at time 7.4."
damaged_family "$PWD/live" 23 ""
printf '%s\n' exit >"$brovik/fileopen.qlc"
timeout "$(wait_limit 60)" "$program" "$PWD/geometry01/d3plot" >"$out" 2>&1
grep -qxF "Error: LS-DYNA family file $PWD/geometry01/d3plot ends inside its geometry, no state is whole." \
  "$out" || fail "the cut base file with d3plot01 cut too is not named"
grep -q "opened\." "$out" && fail "the cut base file with d3plot01 cut too opened"
echo "two damaged members show the first damage, zeros end the states before the state they begin in, a run still writing is whole"

mkdir zeros2 cut457 split split30 titles
cp "$ansys"/d3plot* zeros2/
cp "$projectile"/d3plot* cut457/
cp "$temperature"/d3plot* titles/
chmod u+w zeros2/* cut457/* titles/*
{ head -c 69912 "$ansys/d3plot01"; head -c $((1175552 - 69912)) /dev/zero; } >zeros2/d3plot01
for f in cut457/d3plot?*; do head -c 457376 "$projectile/${f#cut457/}" >"$f"; done
head -c $((21290 * 4)) "$temperature/d3plot" >titles/d3plot
head -c $((10 * 8742 * 4)) "$temperature/d3plot01" >titles/d3plot01
# The 21 states of d3plot01 and d3plot02's state with the end marker, over
# members of 40,960 bytes, the last padded to whole 512-word blocks.
cp "$ansys/d3plot" split/
{ head -c 1174572 "$ansys/d3plot01"; head -c 55936 "$ansys/d3plot02"; } |
  split -b 40960 -d -a 2 --numeric-suffixes=1 - split/d3plot
truncate -s 2048 split/d3plot31
cp split/d3plot* split30/
head -c 40960 /dev/zero >split30/d3plot30
damaged_family "$PWD/zeros2" 1 \
  "Warning: LS-DYNA family file $PWD/zeros2/d3plot01 holds only zeros from state 2 on, states end with state 1 at time 0."
damaged_family "$PWD/cut457" 0 \
  "Warning: LS-DYNA family file $PWD/cut457/d3plot01 ends inside state 1, no state is whole."
damaged_family "$PWD/titles" 0 \
  "Warning: LS-DYNA family file $PWD/titles/d3plot is cut short after its end marker, no state is whole."
read_states "$PWD/split" 22 kept.txt
grep -q '^Warning: ' "$out" && fail "the family written again over members warned"
cmp -s whole22.txt kept.txt || { diff whole22.txt kept.txt; fail "the family written again over members differs"; }
read_states "$PWD/split30" 22 kept.txt
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "split30: a member of zeros inside state 22 warned"
[ "$(wc -l <kept.txt)" -eq $((6 * 22)) ] || fail "split30: not every state shown"
echo "zeros inside a state end the states before it, members cut to one length are named, a member of zeros inside a state is its values, cut titles are named"

# d3plot20 of the ansys states over 40,960-byte members longer by the first
# 1,000 bytes of d3plot21.
mkdir long20
cp split/d3plot* long20/
head -c 1000 split/d3plot21 >>long20/d3plot20
damaged_family "$PWD/long20" 13 \
  "Warning: LS-DYNA family file $PWD/long20/d3plot20 has words past its writer's length, states end with state 13 at time 0.000599904."
# The beam family with state 1 (83,257 words from d3plot01's first) zero
# after its 20 globals and 1,940 nodes' coordinates, whole and over members
# of 108,544 bytes: d3plot01's 11 states without the end marker, then
# d3plot02's state with it, the last member padded to whole blocks.
beam="$lsdyna/ansys-example-data/d3plot_beam"
mkdir rest restsplit
cp "$beam"/d3plot* rest/
chmod u+w rest/*
dd if=/dev/zero of=rest/d3plot01 bs=4 seek=$((1 + 20 + 3 * 1940)) count=$((83257 - 1 - 20 - 3 * 1940)) \
  conv=notrunc status=none
cp rest/d3plot restsplit/
{ head -c $((11 * 83257 * 4)) rest/d3plot01; head -c $((83258 * 4)) rest/d3plot02; } |
  split -b 108544 -d -a 2 --numeric-suffixes=1 - restsplit/d3plot
last=$(ls restsplit/d3plot?* | tail -1)
truncate -s $((($(wc -c <"$last") + 2047) / 2048 * 2048)) "$last"
read_states "$PWD/rest" 12 whole.txt
read_states "$PWD/restsplit" 12 kept.txt
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "restsplit: a model at rest warned"
[ "$(wc -l <kept.txt)" -eq $((6 * 12)) ] || fail "restsplit: not every state shown"
cmp -s whole.txt kept.txt || { diff whole.txt kept.txt; fail "restsplit: values differ from the family written whole"; }
echo "a member longer than its writer's length is named, a model at rest split over members opens whole"

# The ansys states over 40,960-byte members: d3plot06 a copy of d3plot05;
# four files with d3plot02 longer by 1,000 bytes; members of 2,048 bytes.
mkdir copy06 long02 small
cp split/d3plot* copy06/
cp split/d3plot05 copy06/d3plot06
cp split/d3plot split/d3plot01 split/d3plot02 split/d3plot03 long02/
head -c 1000 split/d3plot03 >>long02/d3plot02
cp "$ansys/d3plot" small/
{ head -c 1174572 "$ansys/d3plot01"; head -c 55936 "$ansys/d3plot02"; } |
  split -b 2048 -d -a 3 --numeric-suffixes=1 - small/d3plot
for f in small/d3plot0??; do mv "$f" "small/d3plot${f#small/d3plot0}"; done
damaged_family "$PWD/copy06" 3 \
  "Warning: LS-DYNA family files $PWD/copy06/d3plot06 and $PWD/copy06/d3plot07 hold times that disagree: state 5 has a time not below the time of state 6, states end with state 3 at time 9.9946e-05."
read_states "$PWD/copy06" 3 kept.txt
head -n 18 whole22.txt | cmp -s - kept.txt || { head -n 18 whole22.txt | diff - kept.txt; fail "copy06: values differ from the whole family's"; }
damaged_family "$PWD/long02" 0 \
  "Warning: LS-DYNA family file $PWD/long02/d3plot02 has words past its writer's length, no state is whole."
damaged_family "$PWD/small" 22 \
  "Warning: LS-DYNA family file $PWD/small/d3plot601 is cut short after its end marker, states end with state 22 at time 0.00100016."
echo "a copied member of a split family ends the states before it, a longer member is named, members shorter than the base file whose words confirm their length hold every state"

# Runs the program on FAMILY/d3plot reading states 1 to MOST, each shown by
# "info": $offered is the number read before the first that is no state,
# and the minima and maxima of those states go to VALUES.
offered_states() { # offered_states FAMILY MOST VALUES
  {
    echo 'debugcommands on'
    for s in $(seq 1 "$2"); do echo "readstate $s 1 1"; echo info; done
    echo exit
  } >"$brovik/fileopen.qlc"
  timeout "$(wait_limit 120)" "$program" "$1/d3plot" >"$out" 2>&1 || fail "$1: status $?"
  grep -qxF "Primary file $1/d3plot opened." "$out" || fail "$1: not opened"
  offered=0
  while [ "$offered" -lt "$2" ] && ! grep -qxF "Error: Command: readstate $((offered + 1)) 1 1" "$out"; do
    offered=$((offered + 1))
  done
  grep -E '^  - (Minimum|Maximum) (displacement|node value|element value)' "$out" |
    head -n $((6 * offered)) >"$3"
}
# The states FAMILY offers (at most MOST) are the first states of the family
# written whole, WHOLE its values: each with the same values.
families_states() { # families_states FAMILY MOST WHOLE
  offered_states "$1" "$2" kept.txt
  head -n $((6 * offered)) "$3" | cmp -s - kept.txt ||
    { head -n $((6 * offered)) "$3" | diff - kept.txt; fail "$1: a state offered is not the family's"; }
}
# The one warning of a damaged family names one of the MEMBERS (a pattern).
warned_of() { # warned_of FAMILY MEMBERS
  [ "$(grep -c '^Warning: \|^Error: LS-DYNA' "$out")" -eq 1 ] &&
    grep -Eq "^Warning: LS-DYNA family file $1/($2) " "$out" ||
    fail "$1: not one warning naming $2: $(grep '^Warning: \|^Error: LS-DYNA' "$out")"
}

# The one warning names FIRST and SECOND as the two members whose times
# disagree.
warned_of_both() { # warned_of_both FAMILY FIRST SECOND
  [ "$(grep -c '^Warning: \|^Error: LS-DYNA' "$out")" -eq 1 ] &&
    grep -Fq "Warning: LS-DYNA family files $1/$2 and $1/$3 hold times that disagree: " "$out" ||
    fail "$1: not one warning naming $2 and $3: $(grep '^Warning: \|^Error: LS-DYNA' "$out")"
}

# The ansys states as the splitting writer fills members of 40,960 bytes
# (split, above): cut at state 21's end without its end marker (a job
# still writing, d3plot29 27,692 bytes, d3plot30 and d3plot31 not yet
# written): 21 states, no warning. d3plot10 and d3plot11 swapped: state
# 8's time word (in d3plot10) is above every time after it, state 9's (in
# d3plot11) not above state 1's: the earlier time words lie in 8 members,
# the later in 14, so the words cannot tell which are damaged: no state is
# offered, and the warning names d3plot01 and d3plot11.
mkdir running swapped
cp split/d3plot split/d3plot0? split/d3plot1? split/d3plot2? running/
rm running/d3plot29
head -c 27692 split/d3plot29 >running/d3plot29
families_states "$PWD/running" 22 whole22.txt
[ "$offered" -eq 21 ] || fail "running: $offered states, not 21"
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "running: a job still writing warned"
cp split/d3plot* swapped/
cp split/d3plot10 swapped/d3plot11
cp split/d3plot11 swapped/d3plot10
families_states "$PWD/swapped" 22 whole22.txt
[ "$offered" -eq 0 ] || fail "swapped: $offered states, not 0"
warned_of_both "$PWD/swapped" d3plot01 d3plot11
echo "a split job still writing is whole, two members swapped end the states before them"

# State 1 with the end marker over members of 47,104 bytes, longer than
# the base file (d3plot01 and d3plot02, padded): its one state, as the
# family written whole has it, no warning. States 1 to 3 over members of
# 43,008 bytes (d3plot01 to d3plot04) with d3plot01 and d3plot02 a block
# longer: no state that is not the family's, the warning names one of them.
mkdir one longer
cp "$ansys/d3plot" one/
cp "$ansys/d3plot" longer/
marker() { tail -c +55933 "$ansys/d3plot02" | head -c 4; }
{ head -c 55932 "$ansys/d3plot01"; marker; } | split -b 47104 -d -a 2 --numeric-suffixes=1 - one/d3plot
truncate -s 10240 one/d3plot02
families_states "$PWD/one" 2 whole22.txt
[ "$offered" -eq 1 ] || fail "one: $offered states, not 1"
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "one: a whole family warned"
{ head -c $((3 * 55932)) "$ansys/d3plot01"; marker; } |
  split -b 43008 -d -a 2 --numeric-suffixes=1 - longer/d3plot
truncate -s 38912 longer/d3plot04
head -c 2048 /dev/zero >>longer/d3plot01
head -c 2048 /dev/zero >>longer/d3plot02
families_states "$PWD/longer" 4 whole22.txt
warned_of "$PWD/longer" 'd3plot01|d3plot02'
echo "a whole family over members longer than its base file reads whole, two longer members give no wrong state"

# The projectile's 16 states (914,760 bytes each) and the end marker over
# members of 700,416 bytes, the last (d3plot21) padded to whole blocks,
# with a member before the last a copy of d3plot21: d3plot02, into which
# state 1 runs (no state), and d3plot08, into which state 6 runs (states 1
# to 5); the states offered are the family's, the warning names the copy.
mkdir projsplit
cp "$projectile/d3plot" projsplit/
{
  for f in "$projectile"/d3plot??; do head -c 914760 "$f"; done
  tail -c +914761 "$projectile/d3plot16" | head -c 8
} | split -b 700416 -d -a 2 --numeric-suffixes=1 - projsplit/d3plot
truncate -s 630784 projsplit/d3plot21
for copy in "02 0" "08 5"; do
  set -- $copy
  rm -rf projcopy
  cp -r projsplit projcopy
  cp projsplit/d3plot21 "projcopy/d3plot$1"
  families_states "$PWD/projcopy" 16 projwhole.txt
  [ "$offered" -eq "$2" ] || fail "projcopy d3plot$1: $offered states, not the $2 before it"
  warned_of "$PWD/projcopy" "d3plot$1"
done
echo "a member before the last holding the end marker keeps no state's words"

# The ansys states 1-2 (and the end marker) over members of 43,008 bytes,
# d3plot03 the last, padded: d3plot01 and d3plot02, or d3plot01 alone, a
# block of zeros longer.
mkdir long12 long1 mark07
cp "$ansys/d3plot" long12/
{ head -c $((2 * 55932)) "$ansys/d3plot01"; marker; } |
  split -b 43008 -d -a 2 --numeric-suffixes=1 - long12/d3plot
truncate -s 26624 long12/d3plot03
cp long12/d3plot* long1/
head -c 2048 /dev/zero >>long12/d3plot01
head -c 2048 /dev/zero >>long12/d3plot02
head -c 2048 /dev/zero >>long1/d3plot01
for f in long12 long1; do
  families_states "$PWD/$f" 3 whole22.txt
  [ "$offered" -eq 0 ] || fail "$f: $offered states offered over a longer member"
  warned_of "$PWD/$f" d3plot01
done
# All 22 states over 43,008-byte members, d3plot07 the last member's first
# 26,284 bytes (its end marker the last word): states 1-4 lie before it.
cp "$ansys/d3plot" mark07/
{ head -c 1174572 "$ansys/d3plot01"; head -c 55936 "$ansys/d3plot02"; } |
  split -b 43008 -d -a 2 --numeric-suffixes=1 - mark07/d3plot
head -c 26284 mark07/d3plot29 >mark07/d3plot07
families_states "$PWD/mark07" 22 whole22.txt
[ "$offered" -eq 4 ] || fail "mark07: $offered states, not the 4 before d3plot07"
warned_of "$PWD/mark07" d3plot07
echo "a longer member gives no wrong state, a member before the last holding the end marker keeps no state's words"

# The qd-cae state (527,937 words) and its end marker over members of
# 190,464 bytes, the last padded; the ansys states 1-5 over members of
# 38,912 bytes, the last ending at state 5's end.
qd="$lsdyna/qd-cae"
mkdir qdwhole qdsplit job5
cp "$qd/d3plot" "$qd/d3plot01" qdwhole/
cp "$qd/d3plot" qdsplit/
head -c 2111752 "$qd/d3plot01" | split -b 190464 -d -a 2 --numeric-suffixes=1 - qdsplit/d3plot
last=$(ls qdsplit/d3plot?* | tail -1)
truncate -s $((($(wc -c <"$last") + 2047) / 2048 * 2048)) "$last"
read_states "$PWD/qdwhole" 1 qdwhole.txt
families_states "$PWD/qdsplit" 2 qdwhole.txt
[ "$offered" -eq 1 ] || fail "qdsplit: $offered states, not 1"
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "qdsplit: a whole family warned"
cp "$ansys/d3plot" job5/
head -c $((5 * 55932)) "$ansys/d3plot01" | split -b 38912 -d -a 2 --numeric-suffixes=1 - job5/d3plot
families_states "$PWD/job5" 6 whole22.txt
[ "$offered" -eq 5 ] || fail "job5: $offered states, not 5"
grep -q '^Warning: \|^Error: LS-DYNA' "$out" && fail "job5: a job still writing warned"
echo "whole families and jobs still writing over members shorter than the base file hold every state"

# The projectile over 700,416-byte members (projsplit) with d3plot10 and
# d3plot11 swapped: states 1-6 lie wholly before d3plot10.
rm -rf projswap
cp -r projsplit projswap
cp projsplit/d3plot10 projswap/d3plot11
cp projsplit/d3plot11 projswap/d3plot10
families_states "$PWD/projswap" 16 projwhole.txt
[ "$offered" -eq 6 ] || fail "projswap: $offered states, not the 6 before d3plot10"
warned_of "$PWD/projswap" 'd3plot10|d3plot11'
# Damage near the end, where no time word after the disagreement is above
# the later time: the 22 ansys states over 43,008-byte members (as mark07,
# whole) with d3plot27 and d3plot28 swapped (states 1-19, which end before
# d3plot27, d3plot28 named, never d3plot01), and the projectile's with
# d3plot19 and d3plot20 swapped (states 1-13, which end before d3plot18,
# d3plot19 named).
mkdir near27
cp "$ansys/d3plot" near27/
{ head -c 1174572 "$ansys/d3plot01"; head -c 55936 "$ansys/d3plot02"; } |
  split -b 43008 -d -a 2 --numeric-suffixes=1 - near27/d3plot
truncate -s 26624 near27/d3plot29
cp near27/d3plot27 near27/x
mv near27/d3plot28 near27/d3plot27
mv near27/x near27/d3plot28
families_states "$PWD/near27" 22 whole22.txt
[ "$offered" -eq 19 ] || fail "near27: $offered states, not the 19 before d3plot27"
warned_of "$PWD/near27" d3plot28
rm -rf projswap
cp -r projsplit projswap
cp projsplit/d3plot19 projswap/d3plot20
cp projsplit/d3plot20 projswap/d3plot19
families_states "$PWD/projswap" 16 projwhole.txt
[ "$offered" -eq 13 ] || fail "projswap 19: $offered states, not the 13 before d3plot19"
warned_of "$PWD/projswap" d3plot19
echo "two swapped members are judged by every time word after them"
# The projectile over 700,416-byte members: two damages whose time words
# cannot tell which member is damaged, and the last member swapped forward.
for damage in "swap 03 04" "copy 02 10"; do
  set -- $damage
  rm -rf projboth
  cp -r projsplit projboth
  if [ "$1" = swap ]; then
    cp "projsplit/d3plot$2" "projboth/d3plot$3"
    cp "projsplit/d3plot$3" "projboth/d3plot$2"
  else
    cp "projsplit/d3plot$3" "projboth/d3plot$2"
  fi
  families_states "$PWD/projboth" 16 projwhole.txt
  [ "$offered" -eq 0 ] || fail "projboth $damage: $offered states, not 0"
  warned_of_both "$PWD/projboth" d3plot02 d3plot03
done
rm -rf projswap
cp -r projsplit projswap
cp projsplit/d3plot20 projswap/d3plot21
cp projsplit/d3plot21 projswap/d3plot20
families_states "$PWD/projswap" 16 projwhole.txt
[ "$offered" -eq 14 ] || fail "projswap 20: $offered states, not the 14 before d3plot20"
warned_of "$PWD/projswap" d3plot20
mkdir near28
cp "$ansys/d3plot" near28/
{ head -c 1174572 "$ansys/d3plot01"; head -c 55936 "$ansys/d3plot02"; } |
  split -b 43008 -d -a 2 --numeric-suffixes=1 - near28/d3plot
truncate -s 26624 near28/d3plot29
mv near28/d3plot28 near28/x
mv near28/d3plot29 near28/d3plot28
mv near28/x near28/d3plot29
families_states "$PWD/near28" 22 whole22.txt
[ "$offered" -eq 20 ] || fail "near28: $offered states, not the 20 before d3plot28"
warned_of "$PWD/near28" d3plot28
echo "two members the words cannot tell apart are both named, a last member swapped forward keeps the states before it"
