#!/usr/bin/env bash
# tests/scripts/run_quolin_material.sh PROGRAM EXAMPLES -- runs the viewer on
# the example beam in a fresh home whose fileopen.qlc colours every part
# red, tries an illegal transparency factor and exits. Expects status 0, the
# colour message and the refusal on standard error.
set -uo pipefail
program="$1"
examples="$2"
. "$(dirname "$0")/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf
printf '%s\n' 'debugcommands on' 'color 0 0 255 0 0' 'alpha 1 1 1.5' 'exit' \
  > "$brovik/fileopen.qlc"

timeout "$(wait_limit 60)" "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
[[ "$err" == *"Set color on part 1 to part 1 to red=255 green=0 blue=0"* ]] ||
  fail "missing: the colour message"
[[ "$err" == *"Error: alpha: Parameter missing or illegal parameter specification"* ]] ||
  fail "missing: the refused factor"
echo "material session passed"
