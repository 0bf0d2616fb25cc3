#!/usr/bin/env bash
# tests/scripts/test_wait_limits.sh ROOT -- check_wait_limits.py passes on
# the tree, and on scratch scripts and CMake files it names exactly the
# limits that do not go through wait_limit: a bare timeout or run_limited,
# a polling loop counted to a bare number (for with < and <=, while (( ))
# with a counter stepped in it or not, seq with one bound or two, while or
# until with a counter the loop steps, by $(( )), (( i++ )) or (( ++i )),
# compared with a number by -lt, -eq, >= ..., for over a brace range), a
# time taken ($SECONDS or date +%s less a start) compared with a number
# (quoted or not), a
# scaled limit given to run_quolin_until.sh (which scales its own), a
# test's own TIMEOUT (the fuzz folder's CMake too). Scaled limits, variables set from wait_limit,
# loops that do not poll or count and the text of a here-document pass.
set -uo pipefail
root="$1"
check="$root/tests/scripts/check_wait_limits.py"
fail() { echo "FAIL: $*"; exit 1; }

python3 "$check" "$root" || fail "the tree itself has a limit that does not go through wait_limit"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tests/scripts" "$scratch/tests/fuzz"

# Each case: the file (a script under tests/scripts, CMakeLists.txt or the
# fuzz folder's) |
# what the report must say (empty: no report) | the text.
cases=(
  'tests/scripts/a.sh|tests/scripts/a.sh:1: timeout 60 does not go through wait_limit|timeout 60 "$program" beam.nkf'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: run_limited "$limit" does not go through wait_limit|limit=120
run_limited "$limit" "$program"'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: a loop that polls up to 600 does not go through wait_limit|for ((i = 0; i < 600; i++)); do
  [ -S "$socket" ] && break
  sleep 0.1
done'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: a loop that polls up to 100 does not go through wait_limit|for _ in $(seq 100); do [ -e x ] && break; sleep 0.1; done'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: a loop that polls up to 100 does not go through wait_limit|for i in $(seq 1 100); do [ -e x ] && break; sleep 0.1; done'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: a loop that polls up to 600 does not go through wait_limit|for ((i = 1; i <= 600; i++)); do
  [ -S "$socket" ] && break
  sleep 0.1
done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 600 does not go through wait_limit|i=1
while (( i <= 600 )); do [ -e x ] && break; sleep 0.1; i=$((i + 1)); done'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: a loop that polls up to 50 does not go through wait_limit|for i in {1..50}; do [ -e x ] && break; sleep 0.1; done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 50 does not go through wait_limit|i=0
while [ ! -e x ] && [ "$i" -lt 50 ]; do sleep 0.1; i=$((i + 1)); done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 5 * 10 does not go through wait_limit|i=0
until [ -e x ]; do
  if (( i >= $((5 * 10)) )); then break; fi
  sleep 0.1
  (( i++ ))
done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 50 does not go through wait_limit|i=0
until [ -e x ]; do
  ((++i))
  [ "$i" -ge 50 ] && break
  sleep 0.1
done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 30 does not go through wait_limit|i=0
while [ ! -e x ]; do
  sleep 0.1
  i=$((i + 1))
  if [ $i -eq 30 ]; then break; fi
done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 40 does not go through wait_limit|i=0
while (( i++ < 40 )); do [ -e x ] && break; sleep 0.1; done'
  'tests/scripts/a.sh|tests/scripts/a.sh:3: a time taken compared with 60 does not go through wait_limit|start=$SECONDS
"$program" beam.nkf; took=$((SECONDS - start))
if [ "$took" -ge 60 ]; then echo slow; fi'
  'tests/scripts/a.sh|tests/scripts/a.sh:3: a time taken compared with 60 does not go through wait_limit|start=$SECONDS
"$program" beam.nkf; took=$((SECONDS - start))
[ "$took" -ge "60" ] && echo slow'
  "tests/scripts/a.sh|tests/scripts/a.sh:3: a time taken compared with 60 does not go through wait_limit|start=\$SECONDS
took=\$((SECONDS - start))
if [ \"\$took\" -ge '60' ]; then echo slow; fi"
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a time taken compared with 60 does not go through wait_limit|took=$((SECONDS - begun))
(( took >= "6"0 )) || echo fast' 
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a loop that polls up to 30 does not go through wait_limit|i=0
while [ ! -e x ]; do sleep 0.1; i=$((i + 1)); [ "$i" -eq '"'30'"' ] && break; done'
  'tests/scripts/a.sh|tests/scripts/a.sh:2: a time taken compared with 15 does not go through wait_limit|begun=$SECONDS
[ $((SECONDS - begun)) -le 15 ] || echo slow'
  'tests/scripts/a.sh|tests/scripts/a.sh:3: a time taken compared with 2000 does not go through wait_limit|begun=$(date +%s%N)
"$program"; took=$((($(date +%s%N) - begun) / 1000000))
(( took > 2000 )) && echo slow'
  'tests/fuzz/CMakeLists.txt|tests/fuzz/CMakeLists.txt:2: a test time limit of its own; scripts/run-ctest gives every test its scaled limit|add_test(NAME fuzz_a COMMAND fuzz_a -max_total_time=10)
set_tests_properties(fuzz_a PROPERTIES TIMEOUT 60)'
  'tests/scripts/a.sh|tests/scripts/a.sh:1: run_quolin_until.sh scales its limit itself; give it a plain number of seconds, not "$(wait_limit 60)"|bash "$scripts/run_quolin_until.sh" "opened" "$(wait_limit 60)" "$program"'
  'CMakeLists.txt|CMakeLists.txt:2: run_quolin_until.sh scales its limit itself; give it a plain number of seconds, not ${LIMIT}|quolin_session_test(a
  run_quolin_until.sh "Primary file .*opened\\." ${LIMIT} $<TARGET_FILE:quolin>)'
  'CMakeLists.txt|CMakeLists.txt:1: a test time limit of its own; scripts/run-ctest gives every test its scaled limit|set_tests_properties(a PROPERTIES TIMEOUT 60)'
  'tests/scripts/a.sh||timeout "$(wait_limit 60)" "$program" beam.nkf
limit="$(wait_limit 5)"
timeout "$limit" sh -c true
tenths=$(($(wait_limit 60) * 10))
for ((i = 0; i < tenths; i++)); do sleep 0.1; done
for _ in $(seq $((3 * $(nproc)))); do sh -c "while :; do :; done" & done
for i in $(seq 1 "$(wait_limit 60)"); do [ -e x ] && break; sleep 1; done
i=1
while (( i <= $(wait_limit 60) )); do sleep 1; i=$((i + 1)); done
tenths=$(($(wait_limit 5) * 10))
while [ ! -e x ] && [ "$i" -lt "$tenths" ]; do sleep 0.1; i=$((i + 1)); done
while [ "$(wc -l <x)" -lt 3 ]; do sleep 0.1; done
took=$((SECONDS - start))
[ "$took" -ge "$(wait_limit 60)" ] && [ "$took" -gt "$slowest" ] && [ "$runs" -ne 1 ]
# timeout 60 in a comment
cat >hang.sh <<EOT
timeout 1000 sleep 1000
EOT'
  'CMakeLists.txt||# No test sets a TIMEOUT of its own.
quolin_session_test(a run_quolin_until.sh
  "Primary file .*opened\\." 60 $<TARGET_FILE:quolin>)'
)
for c in "${cases[@]}"; do
  IFS='|' read -r file want _ <<<"$c"
  text="${c#*|*|}"
  rm -f "$scratch/CMakeLists.txt" "$scratch/tests/fuzz/CMakeLists.txt" "$scratch"/tests/scripts/*
  printf '%s\n' "$text" >"$scratch/$file"
  out="$(python3 "$check" "$scratch")"
  got=$?
  if [ -n "$want" ]; then
    [ "$got" = 1 ] || fail "status $got (want 1) for: $text"
    [ "$out" = "$want" ] || fail "report for: $text"$'\n'"$out"$'\n'"wanted: $want"
  else
    [ "$got" = 0 ] && [ -z "$out" ] || fail "report for limits that are scaled: $text"$'\n'"$out"
  fi
done
echo "wait limits check: ok"
