#!/usr/bin/env bash
# tests/scripts/test_run_ctest.sh ROOT -- scripts/run-ctest on folders of
# made-up tests whose output is GoogleTest's: a GL test that passed and then
# crashed in the leak checker's tracer runs again and the run passes, as
# does one the display refused before it began, and a program session that
# failed on a run's status 1 that the tracer's crash gave; a session whose
# own check failed, or whose run also left a leak report, does not run
# again; a test that failed for real
# and then crashed the same way, one whose output shows no pass, one with a
# sanitizer report, one that is not a GL test, one that crashes every time
# and one refused by the display after a test of it ended fail the run,
# each after the runs given; so does a run whose test left a file in the
# temporary folder (a hidden one too), and one whose test hangs, within
# its time limit, the hung test's home named as its own and not a
# leftover. The time limit follows the wait scale and is never 0.
set -uo pipefail
root="$1"
. "$root/tests/scripts/wait_limit.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

tracer='==4242==Tracer caught signal 11: addr=0x0 pc=0x0 sp=0x0
==4241==LeakSanitizer has encountered a fatal error.'
passed='[       OK ] Made.Up (5 ms)
[==========] 1 test from 1 test suite ran. (5 ms total)
[  PASSED  ] 1 test.'
failed='x.cpp:1: Failure
[  FAILED  ] Made.Up (5 ms)
[==========] 1 test from 1 test suite ran. (5 ms total)
[  PASSED  ] 0 tests.
[  FAILED  ] 1 test, listed below:
[  FAILED  ] Made.Up'
leak='=================================================================
==4241==ERROR: LeakSanitizer: detected memory leaks'
refused='[ RUN      ] Made.Up
qt.qpa.xcb: could not connect to display :99
qt.qpa.plugin: Could not load the Qt platform plugin "xcb" in "" even though it was found.'
session_status='FAIL: run 3 ended with status 1
> open "script.qlc"'
session_check='FAIL: run 3: the command'"'"'s own error'
refused_after_ok='[ RUN      ] Made.Up
[       OK ] Made.Up (5 ms)
[ RUN      ] Made.Other
qt.qpa.xcb: could not connect to display :99'

# Each case: name; the labels; the output and status of the first run; the
# output and status of every later run; the status run-ctest must end with
# (0 or 1); how many times the test must have run.
check() {
  local name="$1" labels="$2" first="$3" first_status="$4" later="$5" later_status="$6"
  local want_status="$7" want_runs="$8"
  local dir="$work/$name"
  mkdir -p "$dir"
  printf '%s\n' "$first" >"$dir/first.txt"
  printf '%s\n' "$later" >"$dir/later.txt"
  # The test counts its runs in a file, and answers as the case says.
  cat >"$dir/fake_test.sh" <<EOF
n=\$(( \$(cat "$dir/runs" 2>/dev/null || echo 0) + 1 ))
echo \$n >"$dir/runs"
if [ \$n -eq 1 ]; then cat "$dir/first.txt"; exit $first_status; fi
cat "$dir/later.txt"; exit $later_status
EOF
  cat >"$dir/CTestTestfile.cmake" <<EOF
add_test(Made.Up bash "$dir/fake_test.sh")
add_test(Other.Test bash -c "echo '[  PASSED  ] 1 test.'")
EOF
  [ -z "$labels" ] || echo "set_tests_properties(Made.Up PROPERTIES LABELS \"$labels\")" \
    >>"$dir/CTestTestfile.cmake"
  "$root/scripts/run-ctest" "$dir" >"$dir/out.txt" 2>&1
  local status=$?
  [ "$status" -eq 0 ] || status=1
  local runs
  runs="$(cat "$dir/runs" 2>/dev/null || echo 0)"
  if [ "$status" -ne "$want_status" ] || [ "$runs" -ne "$want_runs" ]; then
    echo "FAIL: $name: status $status after $runs runs; expected $want_status after $want_runs"
    cat "$dir/out.txt"
    failures=$((failures + 1))
  else
    echo "ok: $name: status $status after $runs runs"
  fi
}

#     name                   labels  first run                      later runs   expected
check passed_then_crashed    "gl;app" "$passed
$tracer"                     1       "$passed"   0    0 2
check failed_then_crashed    "gl;app" "$failed
$tracer"                     1       "$passed"   0    1 1
check crashed_before_summary "gl"    "[ RUN      ] Made.Up
$tracer"                     1       "$passed"   0    1 1
check session_status_crashed "gl;app" "$session_status
$tracer"                     1       "passed"    0    0 2
check session_check_crashed "gl;app" "$session_check
$tracer"                     1       "passed"    0    1 1
check session_leak_crashed   "gl;app" "$session_status
$leak
$tracer"                     1       "passed"    0    1 1
check session_no_crash       "gl;app" "$session_status"             1       "passed"    0    1 1
check leak_then_crashed      "gl"    "$passed
$leak
$tracer"                     1       "$passed"   0    1 1
check not_a_gl_test          "app"   "$passed
$tracer"                     1       "$passed"   0    1 1
check crashed_every_time     "gl"    "$passed
$tracer"                     1       "$passed
$tracer"                                            1    1 3
check failed_plainly         "gl"    "$failed"                      1       "$passed"   0    1 1
check display_refused        "gl"    "$refused"                     1       "$passed"   0    0 2
check refused_after_a_test   "gl"    "$refused_after_ok"            1       "$passed"   0    1 1

# A run whose tests passed fails when one of them left a file in the
# temporary folder (a hidden one too), and passes when they took theirs
# away.
leaves() {
  local name="$1" command="$2" want_status="$3"
  local dir="$work/$name"
  mkdir -p "$dir"
  printf 'add_test(Made.Up bash -c "%s")\n' "$command" >"$dir/CTestTestfile.cmake"
  "$root/scripts/run-ctest" "$dir" >"$dir/out.txt" 2>&1
  local status=$?
  [ "$status" -eq 0 ] || status=1
  if [ "$status" -ne "$want_status" ] ||
    { [ "$want_status" -eq 1 ] && ! grep -Eq "left files in the temporary folder: \.?left_" "$dir/out.txt"; }; then
    echo "FAIL: $name: status $status; expected $want_status"
    cat "$dir/out.txt"
    failures=$((failures + 1))
  else
    echo "ok: $name: status $status"
  fi
}
leaves left_a_file 'mktemp \"\$TMPDIR/left_XXXXXX\"' 1
leaves left_a_hidden_file 'mktemp \"\$TMPDIR/.left_XXXXXX\"' 1
leaves took_it_away 'f=\$(mktemp) && rm \"\$f\"' 0

# The tests' time limit, 600 s times the scale, read as the waits read it
# (the cases of tests/platform/test_wait_helper.cpp): whole seconds rounded
# up, so never 0, which CTest takes as no limit.
scales=(unset 2 0.5 0.001 1000 0 -1 1001 x 2x '')
limits=(600 1200 300 1 600000 600 600 600 600 600 600)
for i in "${!scales[@]}"; do
  got="$(if [ "${scales[i]}" = unset ]; then unset QUOLIN_TEST_WAIT_SCALE; else
    export QUOLIN_TEST_WAIT_SCALE="${scales[i]}"; fi; wait_limit 600)"
  if [ "$got" != "${limits[i]}" ]; then
    echo "FAIL: the scale '${scales[i]}' gives a limit of $got s; expected ${limits[i]}"
    failures=$((failures + 1))
  fi
done

# A test that hangs fails the run under its own name once it passes its
# time limit (600 s times the wait scale: 3 s here), and runs no more
# although its output (the display refused it) would let a GL test run
# again; it is ended with its children, also one in a process group of
# its own (timeout(1) makes one). Its home, left behind, is named as its
# own; the home of a test whose own_home.sh ended without removing it is
# still a leftover. The guard ends a run-ctest without a limit, so that
# this check fails instead of waiting for the sleeps.
alive() {
  [ -r "/proc/$1/stat" ] &&
    ! awk '{ sub(/.*\) /, ""); exit ($1 == "Z" || $1 == "X") ? 0 : 1 }' "/proc/$1/stat"
}
hangs() {
  local dir="$work/hangs" hang=1000  # seconds: far beyond the limit
  mkdir -p "$dir"
  printf '%s\n' "$refused" >"$dir/refused.txt"
  cat >"$dir/hang.sh" <<EOF
n=\$(( \$(cat "$dir/runs" 2>/dev/null || echo 0) + 1 ))
echo \$n >"$dir/runs"
echo \$\$ >>"$dir/pids"
cat "$dir/refused.txt"
sleep "$hang" &
echo \$! >>"$dir/pids"
timeout "$hang" sh -c 'echo \$\$ >>"$dir/pids"; exec sleep $hang' &
echo \$! >>"$dir/pids"
wait
EOF
  cat >"$dir/CTestTestfile.cmake" <<EOF
add_test(Made.Up bash "$root/tests/scripts/own_home.sh" bash "$dir/hang.sh")
set_tests_properties(Made.Up PROPERTIES LABELS "gl;app")
add_test(Left.Home bash "$root/tests/scripts/own_home.sh" bash -c "kill -9 \$PPID")
EOF
  local start=$SECONDS
  QUOLIN_TEST_WAIT_SCALE=0.005 timeout "$(wait_limit 120)" "$root/scripts/run-ctest" "$dir" \
    >"$dir/out.txt" 2>&1
  local status=$? took=$((SECONDS - start)) runs left=""
  runs="$(cat "$dir/runs" 2>/dev/null || echo 0)"
  # The processes killed are gone once their new parent has reaped them.
  for _ in $(seq $(($(wait_limit 10) * 10))); do
    left=""
    for pid in $(cat "$dir/pids" 2>/dev/null); do alive "$pid" && left="$left $pid"; done
    [ -n "$left" ] || break
    sleep 0.1
  done
  if [ "$status" -ne 1 ] || [ "$runs" -ne 1 ] || [ -n "$left" ] ||
    [ "$(wc -l <"$dir/pids")" -ne 4 ] ||
    ! grep -q "Made.Up (Timeout)" "$dir/out.txt" ||
    ! grep -q "run-ctest: Made.Up passed its time limit of 3 s" "$dir/out.txt" ||
    ! grep -Eq "ended at their limit stayed in the temporary folder: quolin_test_home_\w+ \(Made.Up\)$" "$dir/out.txt" ||
    ! grep -Eq "left files in the temporary folder: quolin_test_home_\w+$" "$dir/out.txt"; then
    echo "FAIL: hangs: status $status after $runs runs in $took s, processes left:${left:- none}"
    cat "$dir/out.txt"
    [ -z "$left" ] || kill -9 $left
    failures=$((failures + 1))
  else
    echo "ok: hangs: status $status after $runs run in $took s, its processes ended"
  fi
}
hangs

# The decision alone, on a results file that does not hold the test.
if "$root/scripts/tracer-crash-only" "$work/passed_then_crashed/Testing/ctest-results.xml" \
  No.Such >/dev/null 2>&1; then
  echo "FAIL: a test absent from the results may run again"
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "run-ctest reran only the tests that passed and then crashed in the tracer, the sessions whose status the crash gave, and the tests the display refused; a hang failed under its name"
