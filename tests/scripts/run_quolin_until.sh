#!/usr/bin/env bash
# tests/scripts/run_quolin_until.sh PATTERN SECONDS PROGRAM [ARGS...] -- runs
# the viewer (which keeps running until its window is closed), watches what it
# prints, and stops it as soon as a line matches PATTERN (grep -E). Passes
# when the line came within SECONDS, a plain number that wait_limit scales
# (wait_limit.sh); prints everything the program printed.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wait_limit.sh"
pattern="$1"; seconds="$(wait_limit "$2")"; shift 2
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1 &
pid=$!
found=1
for ((i = 0; i < seconds * 10; i++)); do
  if grep -Eq "$pattern" "$out"; then found=0; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
grep -Eq "$pattern" "$out" && found=0
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
cat "$out"
if [ $found -ne 0 ]; then echo "FAIL: no line matching: $pattern"; exit 1; fi
echo "found: $pattern"
