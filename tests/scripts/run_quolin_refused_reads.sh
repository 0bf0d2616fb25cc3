#!/usr/bin/env bash
# tests/scripts/run_quolin_refused_reads.sh PROGRAM EXAMPLES [LSDYNA] -- a read
# that is refused changes nothing, whichever part of it fails. Each refused
# line runs after a model is open with a state read; info, a picture and an
# NKF export after it are those of the same run without the line: a scalar
# or vector number the state lacks in every form of readstate (the beam),
# and every form of readstate and animresults on a copy of the d3plot family
# of LSDYNA whose members after the first were cut on disk after the open.
# The d3plot cases are skipped (77) without the shared test data.
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
# error and shows what the base run shows.
check_refused() {
  local base="$1" prepare="$2"
  shift 2
  IFS='|' read -ra lines <<<"$base"
  $prepare
  run_then_show ref "${lines[@]}"
  for r in "$@"; do
    $prepare
    run_then_show case "${lines[@]}" "$r"
    grep -qxF "Error: Command: $r" "$out" || fail "$r was not refused"
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
check_refused "open \"$PWD/fam/d3plot\"|readstate 2 1 1|; truncate -s 1000 \"$PWD/fam/d3plot01\" \"$PWD/fam/d3plot02\"" \
  fresh_family 'readstate 5 1 1' 'readstate current 1 1' 'readstate next' 'readstate last' \
  'readstate' 'animresults 1 10 1' 'animresults'
echo "a state whose members were cut after the open leaves the family as it was"
