#!/usr/bin/env bash
# tests/scripts/run_quolin_plot_exit.sh PROGRAM EXAMPLES -- runs the viewer on
# beam.nkf in a fresh home with start-up command files that make a node
# plot and then "exit": the plot's fonts and lists live in the view's GL
# context (or in the plot window's), and shut-down must release them before
# those contexts go. Each run must end with status 0 and no sanitizer
# report:
#   1. "np 1 1" (words that are no part,node: the plot is made, no node added);
#   2. two nodes plotted in the view;
#   3. one node plotted in the plot's own window.
set -uo pipefail
program="$1"; examples="$2"
. "$(dirname "$0")/fresh_home.sh"

run=0
for plot in 'np 1 1' 'np 1,1001 1,1045' $'np 1,1001\nplt separate'; do
  run=$((run + 1))
  printf 'debugcommands on\nreadstate 1 1 1\n%s\nexit\n' "$plot" > "$brovik/fileopen.qlc"
  timeout "$(wait_limit 60)" "$program" "$examples/beam.nkf" >"$home/err.txt" 2>&1
  status=$?
  [ $status -eq 0 ] || fail "run $run ended with status $status"
  grep -q "Sanitizer\|runtime error" "$home/err.txt" && fail "run $run: sanitizer report"
  grep -q "Creating node plot" "$home/err.txt" || fail "run $run: no node plot"
  [ $run -eq 1 ] || ! grep -q "Illegal node" "$home/err.txt" || fail "run $run: nodes refused"
done
echo "plot exit runs passed"
