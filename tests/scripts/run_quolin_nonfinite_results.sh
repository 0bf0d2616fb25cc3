#!/usr/bin/env bash
# tests/scripts/run_quolin_nonfinite_results.sh PROGRAM EXAMPLES D3PLOT_DIR --
# results holding NaN or minus infinity, read by the viewer in a fresh home:
# an NKF node scalar and an NKF element scalar (copies of the example beam),
# an older native scalar file in text and in binary form over a grid, and a
# d3plot state (a copy of the database in D3PLOT_DIR, lasso-python's
# d3plot_solid_int, with one stress word set to NaN; left out, saying so,
# when the folder is missing). Each is read, drawn as fringes with contour
# lines and an iso-surface, described by "info" and written as BMP and PPM
# images. Each run must end with status 0 and no sanitizer report, give
# exactly one warning of the values naming the file and the result, take the
# value range from the finite values alone, and draw the damaged nodes in
# the undefined-value colour (magenta here: pixels near it in the picture,
# none in the picture of the undamaged beam). A vector text file shorter
# than the grid needs gives a warning naming it, and "info" a maximum
# displacement that is a real length.
set -uo pipefail
program="$1"
examples="$2"
d3plot="$3"
probe="$(cd "$(dirname "$0")" && pwd)/ppm_probe.py"
. "$(dirname "$0")/fresh_home.sh"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The beam with the value of node ITEM of block *RESULTS ID (the value of
# element ITEM for an element block) replaced by WORD, written to OUT.
damage_beam() { # damage_beam ID ITEM WORD OUT
  awk -v id="$1" -v item="$2" -v word="$3" '
    /^\*/ { inblock = ($0 == "*RESULTS " id); row = 0; byid = 0; print; next }
    inblock && /^%WITH_ID/ { byid = 1 }
    inblock && /^%/ { print; next }
    inblock {
      row++
      if (byid && $1 == item) { print item " " word; next }
      if (!byid && row == item) { print word; next }
    }
    { print }' "$examples/beam.nkf" > "$4"
}

# A flat grid of 3 x 3 quadrilaterals over 16 nodes, one part, in the
# older native geometry text form: counts, the part's polygon range, the
# coordinates, the connects with each polygon's last node negative.
{
  printf '1 16 9 36\n1 9\n'
  for y in 0 1 2 3; do for x in 0 1 2 3; do printf '%d %d 0\n' "$x" "$y"; done; done
  for y in 0 1 2; do for x in 1 2 3; do
    n=$((4 * y + x))
    printf '%d %d %d -%d\n' "$n" $((n + 1)) $((n + 5)) $((n + 4))
  done; done
} > grid.txt
# Node 1 holds the bad value, nodes 2 to 16 the values 0.2 to 1.6.
scalar_text() { echo "$1"; awk 'BEGIN { for (i = 2; i <= 16; i++) printf "%.1f\n", i / 10 }'; }
scalar_text nan > scalar_nan.txt
scalar_text -inf > scalar_minf.txt
python3 - <<'PY'
import struct
values = [float('nan')] + [i / 10 for i in range(2, 17)]
open('scalar_nan.res', 'wb').write(struct.pack('<3i16f', 1, 1, 16, *values))
PY
# Sixteen numbers where the grid's vectors need 48: five whole vectors, the
# longest (0.12, 0.13, 0.14), and one with only its x.
seq 0 15 | awk '{ printf "%.2f\n", $1 / 100 }' > short_vectors.txt

damage_beam 1 83 nan beam_node_nan.nkf    # node 1083, on the top face
damage_beam 1 83 -inf beam_node_minf.nkf
damage_beam 11 22 nan beam_element_nan.nkf  # element 22, on the top face
damage_beam 11 22 -inf beam_element_minf.nkf

have_d3plot=0
if [ -f "$d3plot/d3plot10" ]; then
  have_d3plot=1
  cp -r "$d3plot" d3_nan && chmod -R u+w d3_nan && cp -r d3_nan d3_minf
  # State 10 (member d3plot10) starts at word 0 of its file; its solid
  # stresses follow 1 time, 34 global, 3 x 106 coordinate, 106 mass-scaling,
  # 3 x 106 velocity and 3 x 106 acceleration words (word 1095), 64 words a
  # solid. The x stress of solid 4 becomes NaN, or minus infinity.
  python3 - <<'PY'
import struct
for folder, value in (('d3_nan', float('nan')), ('d3_minf', float('-inf'))):
    d = bytearray(open(folder + '/d3plot10', 'rb').read())
    struct.pack_into('<f', d, 4 * (1095 + 3 * 64), value)
    open(folder + '/d3plot10', 'wb').write(d)
PY
else
  echo "no $d3plot: the d3plot case is left out"
fi

# One case a line, fields split by "|": name, the line that opens the
# model, the line that reads the result, the text of the warning line, a
# second warning text (the line naming the file, or "-"), the "info" lines
# expected, and a damaged node ("part,node") whose listing must say
# NO_VALUE (or "-").
W="$PWD"
nkf_warn="NaN or -inf result values: 1, the first is value"
tail="NaN or -inf values: 1, the first is"
undef="they count as undefined values."
beam_nodes="Minimum node value........:  0.00000e+00;Maximum node value........:  3.34270e-01"
beam_elements="Minimum element value........: -1.90000e+01"
beam_elements+=";Maximum element value........:  1.90000e+01"
grid_nodes="Minimum node value........:  2.00000e-01;Maximum node value........:  1.60000e+00"
d3_elements="Minimum element value........: -4.68649e+02"
d3_elements+=";Maximum element value........:  4.74502e+02"
cases=()
for bad in nan minf; do
  cases+=(
    "nkf node $bad|open \"$W/beam_node_$bad.nkf\"|readstate 1 1 1|Block type : *RESULTS. ID = 1 : $nkf_warn 83|NKF file : $W/beam_node_$bad.nkf|$beam_nodes|1,1083"
    "nkf element $bad|open \"$W/beam_element_$bad.nkf\"|readstate 1 2 1|Block type : *RESULTS. ID = 11 : $nkf_warn 22|NKF file : $W/beam_element_$bad.nkf|$beam_elements|1,1079"
    "native text $bad|readgeometry \"$W/grid.txt\"|readscalar \"$W/scalar_$bad.txt\"|The scalar result of file $W/scalar_$bad.txt, step 1: $tail value 1; $undef|-|$grid_nodes|1,1"
  )
  [ $have_d3plot -eq 1 ] && cases+=(
    "d3plot $bad|open \"$W/d3_$bad/d3plot\"|readstate 10 1|The X Axis Stress result of file $W/d3_$bad/d3plot10, state 10: $tail element 4; $undef|-|$d3_elements|-"
  )
done
cases+=(
  "native binary nan|readgeometry \"$W/grid.txt\"|readscalar \"$W/scalar_nan.res\"|The scalar result of file $W/scalar_nan.res, step 1: $tail value 1; $undef|-|$grid_nodes|1,1"
)

# run NAME MODEL READ [DRAWLINES]: the viewer from a start-up file that
# opens the model, sets the undefined-value colour (an open puts back the
# colours), reads the result, draws (by default fringes, contour lines and
# an iso-surface, lines split by ";") and describes, writes both images and
# exits; standard error in $NAME.err, the images $NAME.bmp and .ppm.
run() {
  local name="$1" draw="${4:-fringes;contours 10;isosurface}" base
  base="$W/${1// /_}"
  {
    printf '%s\n' 'debugcommands on' "$2" 'legendundefinedcolor 255 0 255'
    printf '%s\n' 'notexturefringes' 'nofringeshade' "$3"
    tr ';' '\n' <<< "$draw"
    printf '%s\n' 'info'
    printf '%s\n' "tobmp \"$base.bmp\"" "toppm \"$base.ppm\" 400 300" 'exit'
  } > "$brovik/quolin.qlc"
  timeout "$(wait_limit 120)" "$program" 2> "$base.err" > /dev/null
  status=$?
  [ $status -eq 0 ] || fail "$name: ended with status $status"
  grep -Eq "runtime error|AddressSanitizer|LeakSanitizer" "$base.err" &&
    fail "$name: sanitizer report"
  [ -s "$base.bmp" ] || fail "$name: no BMP image"
  [ -s "$base.ppm" ] || fail "$name: no PPM image"
}

for entry in "${cases[@]}"; do
  IFS='|' read -r name model read warning second expected node <<< "$entry"
  draw="fringes;contours 10;isosurface"
  [ "$node" != "-" ] && draw+=";showscalars $node $node"
  run "$name" "$model" "$read" "$draw"
  base="$W/${name// /_}"
  n=$(grep -c "NaN or -inf" "$base.err")
  [ "$n" -eq 1 ] || fail "$name: $n warnings of NaN or -inf values, not 1"
  grep -qF -- "Warning: $warning" "$base.err" || fail "$name: missing warning: $warning"
  if [ "$second" != "-" ]; then
    grep -qF -- "Warning: $second" "$base.err" || fail "$name: missing warning: $second"
  fi
  IFS=';' read -ra lines <<< "$expected"
  for line in "${lines[@]}"; do
    grep -qF -- "  - $line (" "$base.err" || fail "$name: missing info line: $line"
  done
  if [ "$node" != "-" ]; then
    grep -qF "  ${node/,/, }:  NO_VALUE" "$base.err" || fail "$name: node $node is not undefined"
  fi
  magenta=$(python3 "$probe" nearcount "$base.ppm" 255 0 255)
  [ "${magenta:-0}" -gt 0 ] || fail "$name: the damaged nodes are not in the undefined colour"
  echo "$name: done, $magenta pixels in the undefined colour"
done

# The undamaged beam draws nothing in the undefined colour.
run "nkf intact" "open \"$examples/beam.nkf\"" "readstate 1 2 1"
magenta=$(python3 "$probe" nearcount "$W/nkf_intact.ppm" 255 0 255)
[ "$magenta" = "0" ] || fail "nkf intact: $magenta pixels in the undefined colour"

# A vector file of one number a node where three are needed.
run "short vectors" "readgeometry \"$W/grid.txt\"" "readvector \"$W/short_vectors.txt\"" \
  "vectors"
grep -qF "Warning: The vector file $W/short_vectors.txt holds 16 numbers where the model needs 48; the values it lacks are undefined." \
  "$W/short_vectors.err" || fail "short vectors: no warning naming the file"
grep -qF "  - Maximum displacement........:  2.25610e-01 (" "$W/short_vectors.err" ||
  fail "short vectors: the maximum displacement is not the longest whole vector"

if [ $failures -gt 0 ]; then
  for f in "$W"/*.err; do echo "== $f"; cat "$f"; done
  exit 1
fi
echo "non-finite results passed"
