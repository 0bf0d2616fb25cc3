#!/usr/bin/env bash
# tests/scripts/run_under_load.sh BUILD [ROUNDS] -- the GL test programs
# (test_app_gl, test_render_gl, test_tools_gl, test_plot_gl, test_export_gl,
# test_platform_gl) and test_platform (with the waits' own tests), each
# whole with its tests shuffled, run ROUNDS times (3 unless given) with
# three busy processes per core beside them, each round with a seed of its
# own. Fails on any failure. Their waits hold on a machine this busy; a
# check that needs a quiet machine fails here first.
# The cores are those this run may use (nproc counts them: taskset limits
# them), and the busy processes run on the same ones; CTest runs
# QUOLIN_JOBS tests at once, else one a core.
# Run it under the display and environment that scripts/test sets up:
# `scripts/test --under-load` does.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$1"
rounds="${2:-3}"
programs='^test_((app|render|tools|plot|export|platform)_gl|platform)_whole$'
cores="$(nproc)"
jobs="${QUOLIN_JOBS:-$cores}"

busy=()
stop_busy() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null; }
trap stop_busy EXIT
for _ in $(seq $((3 * cores))); do
  sh -c 'while :; do :; done' &
  busy+=($!)
done
echo "run_under_load: ${#busy[@]} busy processes on $cores cores, $jobs tests at once"

for round in $(seq "$rounds"); do
  seed=$(( (RANDOM << 15 | RANDOM) % 99999 + 1 ))
  echo "run_under_load: round $round of $rounds, seed $seed (QUOLIN_TEST_SEED=$seed reruns it)"
  if ! GTEST_RANDOM_SEED="$seed" "$root/scripts/run-ctest" "$build" -R "$programs" -j "$jobs"; then
    echo "run_under_load: round $round failed with seed $seed" >&2
    exit 1
  fi
done
echo "run_under_load: the GL test programs and test_platform passed $rounds rounds under load"
