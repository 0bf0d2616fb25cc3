#!/usr/bin/env bash
# tests/scripts/run_quolin_tool_views.sh PROGRAM EXAMPLES [D3PLOT] -- where a
# particle trace and an iso-surface of a solid model show. Each is drawn
# into images with the model as wire lines and as surfaces, with and
# without the tool: the tool's pixels show among the wire lines, and the
# solid's surfaces hide them (the trace and the iso-surface run inside the
# elements). The particle trace runs on the example beam; the iso-surface
# on the LS-DYNA projectile database D3PLOT, skipped (77) when it is absent.
set -uo pipefail
program="$1"
examples="$2"
d3plot="${3:-}"
. "$(dirname "$0")/fresh_home.sh"

# Bytes in which two images of one size differ.
differ() { cmp -l "$1" "$2" | wc -l; }

# run FILE SIZE SETUP TOOL NOTOOL: wire lines without and with the tool (w0,
# w1), then surfaces with and without it (s1, s0), images of SIZE.
run() {
  rm -f w0.ppm w1.ppm s1.ppm s0.ppm
  printf '%s\n' 'debugcommands on' "$3" 'lines' "toppm \"$PWD/w0.ppm\" $2" "$4" \
    "toppm \"$PWD/w1.ppm\" $2" 'surface' "toppm \"$PWD/s1.ppm\" $2" "$5" \
    "toppm \"$PWD/s0.ppm\" $2" 'exit' >"$brovik/fileopen.qlc"
  timeout "$(wait_limit 120)" "$program" "$1" 2>"$home/err.txt"
  local status=$?
  [ $status -eq 0 ] || fail "$1 ended with status $status"
  for f in w0 w1 s1 s0; do [ -s $f.ppm ] || fail "missing: $f.ppm of $1"; done
}

cp "$examples/beam.nkf" beam.nkf
run beam.nkf '800 600' $'readstate 3 2 1\nsetview -0.55 -0.15 -0.1 0.81 0.1 0 0.4' \
  'particletrace 5.1 0.4 0.9' 'noparticletrace'
wire=$(differ w0.ppm w1.ppm)
solid=$(differ s0.ppm s1.ppm)
[ "$wire" -gt 30 ] || fail "the trace shows in $wire bytes among the wire lines"
[ "$solid" -lt 10 ] || fail "the solid beam lets $solid bytes of its inner trace through"
# A computed trace confirms nothing: the command says only what it timed.
grep -q "Cannot calculate particle traces\|Error calculating particle traces" "$home/err.txt" &&
  fail "the trace was refused"

if [ -z "$d3plot" ] || [ ! -f "$d3plot" ]; then
  echo "trace views passed; no projectile database, iso-surface skipped"
  exit 77
fi
run "$d3plot" '1600 1200' 'readstate 8 1' 'isosurface 0.03' 'noisosurface'
grep -q "Isosurface computed with value 0.03" "$home/err.txt" || fail "no iso-surface computed"
wire=$(differ w0.ppm w1.ppm)
solid=$(differ s0.ppm s1.ppm)
# At 0.03 the X stress of state 8 makes a patch of four polygons inside the
# projectile, a few pixels wide even at this size.
[ "$wire" -gt 10 ] || fail "the iso-surface shows in $wire bytes among the wire lines"
[ "$solid" -lt 10 ] || fail "the solid parts let $solid bytes of the inner iso-surface through"
echo "tool views passed"
