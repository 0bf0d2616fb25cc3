#!/usr/bin/env bash
# tests/scripts/restore_maximise_under_load.sh BUILD [ROUNDS] -- counts the
# restore-maximise-quit sessions under openbox that store another rectangle
# than the normal one, with three busy processes per core beside them. Each
# round runs the window-manager test of such sessions once (five sessions:
# one carried out in time, four with openbox held at a step of its restore);
# 12 rounds unless given, 60 sessions. The busy processes end with the run,
# or after a minute a round. Says how long the rounds took. Not run by
# CTest: run it under the display and environment that scripts/test sets
# up, e.g.
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
#     tests/scripts/restore_maximise_under_load.sh build-test
# with the variables scripts/test exports.
set -uo pipefail
. "$(dirname "$0")/wait_limit.sh"
build="$1"
rounds="${2:-12}"
test=WindowManagerTest.ARestoredAndMaximisedSessionStoresTheNormalSize
log="$(mktemp)"

busy=()
stop_busy() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null; rm -f "$log"; }
trap stop_busy EXIT
for _ in $(seq $((3 * $(nproc)))); do
  timeout "$(wait_limit $((60 * rounds)))" sh -c 'while :; do :; done' &
  busy+=($!)
done
echo "restore_maximise_under_load: ${#busy[@]} busy processes on $(nproc) cores, $rounds rounds"

"$build/tests/test_app_gl" --gtest_filter="$test" --gtest_repeat="$rounds" >"$log" 2>&1
status=$?
took=$SECONDS
sessions=$((rounds * 5))
# A session that stored another rectangle fails its check of the stored
# one (Same), printed with the rectangle and the case; any other failure
# is a wait that gave up.
wrong=$(grep -c 'Value of: Same(' "$log")
skipped=$(grep -c '\[  SKIPPED \]' "$log")
other=$(( $(grep -c ': Failure' "$log") - wrong ))
grep -A5 'Value of: Same(' "$log" | grep -E ' at \(|held|in time' || true
echo "restore_maximise_under_load: $wrong of $sessions sessions stored another rectangle than the normal one ($other other failures, $skipped rounds skipped); $rounds rounds in $took s"
# A run that failed otherwise (a crash, a sanitizer's report at exit) ends
# with what it printed last.
if [ "$status" -ne 0 ] && [ "$wrong" -eq 0 ] && [ "$other" -eq 0 ]; then
  echo "restore_maximise_under_load: the test program ended with status $status:"
  grep -v '^ *[0-9]* *[0-9]* lib' "$log" | tail -40
fi
[ "$status" -eq 0 ] && [ "$skipped" -eq 0 ]
