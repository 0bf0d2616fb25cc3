#!/usr/bin/env bash
# tests/scripts/starts_on_resetting_display.sh PROGRAM STARTS [BUSY_PER_CORE
# [NICE]] -- STARTS starts of the program, one after the other, on an X server of
# the script's own that resets when its last client leaves (a bare Xvfb,
# as xvfb-run starts it), each with a command file holding "exit", beside
# BUSY_PER_CORE busy processes per core (default 2), the server run with
# the niceness NICE (default 10) on one core beside a busy process of the
# normal priority (none at niceness 0): the reset is slow on a busy
# machine, and a connection that arrives while the server has no client is
# closed by the reset; the lower priority widens that moment as a busier
# machine would. Every start must end with status 0. Prints how
# many starts ended with each status and how many Qt refused ("could not
# connect to display"). The program's environment is the caller's, but for
# DISPLAY.
set -uo pipefail
program="$1"
starts="$2"
busy_per_core="${3:-2}"
niceness="${4:-10}"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"
err="$home/err.txt"

own_xvfb_pid="" busy_pids=()
cleanup() {
  [ ${#busy_pids[@]} -gt 0 ] && kill "${busy_pids[@]}" 2>/dev/null
  [ -n "$own_xvfb_pid" ] && kill "$own_xvfb_pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT

start_own_xvfb "$niceness"
# A server of lower priority shares its core with a busy process of the
# normal priority, so that its reset is slow however idle the other cores
# are.
if [ "$niceness" -gt 0 ]; then
  core=$(($(nproc) - 1))
  taskset -pc "$core" "$own_xvfb_pid" >/dev/null || fail "the server could not be moved to core $core"
  taskset -c "$core" sh -c 'while :; do :; done' &
  busy_pids+=($!)
fi

for _ in $(seq $((busy_per_core * $(nproc)))); do
  sh -c 'while :; do :; done' &
  busy_pids+=($!)
done

printf 'exit\n' >c.qlc
declare -A statuses=()
refused=0 failed=0 slowest=0
for ((n = 1; n <= starts; n++)); do
  begun=$(date +%s%N)
  run_limited "$(wait_limit 120)" "$program" c.qlc >/dev/null 2>"$err"
  status=$?
  took=$((($(date +%s%N) - begun) / 1000000))
  [ "$took" -gt "$slowest" ] && slowest=$took
  statuses[$status]=$((${statuses[$status]:-0} + 1))
  grep -q "could not connect to display" "$err" && refused=$((refused + 1))
  if [ $status -ne 0 ]; then
    failed=$((failed + 1))
    echo "start $n: status $status"
    tail -5 "$err"
  fi
done
summary=""
for status in "${!statuses[@]}"; do summary+=" ${statuses[$status]} with status $status,"; done
echo "$starts starts on $DISPLAY (niceness $niceness) beside $busy_per_core busy processes a core:${summary%,};" \
  "$refused refused by the display; the slowest took $slowest ms"
[ $failed -eq 0 ] || fail "$failed of $starts starts failed"
