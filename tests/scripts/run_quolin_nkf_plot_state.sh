#!/usr/bin/env bash
# tests/scripts/run_quolin_nkf_plot_state.sh PROGRAM EXAMPLES -- the node plot
# and the words of the settings that belong to the shell and the animation
# clock, taken through an NKF file into a fresh start. The first run plots
# two nodes of the example beam, gives the plot its own titles and axis
# flags, turns spin on and sets the frame rate, then exports a.nkf. The
# second run, in a fresh home, opens a.nkf and exports b.nkf. Expects
# status 0 and no error in either run; a.nkf's extra settings record
# holding the titles and flags set, its main record spin on (word 88) and
# the frame rate (words 197 and 200), both node plot items; and b.nkf's
# settings and items blocks equal to a.nkf's (the view words within 1e-4).
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf

run() {  # $1: file to open; the remaining words: command lines after it
  local file="$1"
  shift
  printf '%s\n' "$@" 'exit' > "$brovik/fileopen.qlc"
  timeout "$(wait_limit 60)" "$program" "$file" 2>"$home/err.txt"
  status=$?
  [ $status -eq 0 ] || fail "ended with status $status"
  if grep -q "Error" "$home/err.txt"; then fail "a command failed"; fi
}

run beam.nkf 'readstate 3 1 1' 'np 1,1001 1,1045' 'plt title Beam tip nodes' \
  'plt xtitle Load step' 'plt ytitle Bending stress' 'plt xflags zerobasedticks on' \
  'plt xflags forceminmax off' \
  'plt yflags includezero on' 'plt yflags crossmin on' 'spin' 'maxfps 20' \
  "export nkf \"$PWD/a.nkf\""
[ -s a.nkf ] || fail "a.nkf was not written"
# A fresh start: nothing of the first run's configuration is left.
rm -rf "$brovik"
mkdir -p "$brovik"
run a.nkf "export nkf \"$PWD/b.nkf\""
[ -s b.nkf ] || fail "b.nkf was not written"

python3 - "$scripts" <<'PY' || fail "the node plot did not come back"
import struct, sys
sys.path.insert(0, sys.argv[1])
from nkf_blocks import MAIN as main, blocks, assert_same_state

a, b = blocks('a.nkf'), blocks('b.nkf')
s = a[(1018, 1)]
head = struct.unpack_from('<6i', s, 0)
assert head[2] == 1 and head[5] == 1, head
w = lambda n: struct.unpack_from('<i', s, main + 4 * n)[0]
assert w(88) == 1, ('spin', w(88))
assert (w(197), w(200)) == (20, 20), ('frame rate', w(197), w(200))
extra = main + 1228 + 28 * head[3] + 72 * head[4]
x = lambda n: struct.unpack_from('<i', s, extra + 4 * n)[0]
text = lambda n: s[extra + 4 * n:extra + 4 * n + 80].split(b'\0')[0].decode()
assert x(0) == 428, x(0)
assert (text(1), text(21), text(41)) == ('Beam tip nodes', 'Load step', 'Bending stress'), \
    (text(1), text(21), text(41))
assert x(61) == 1, ('shown', x(61))
# Axis flags 11 (x zero-based ticks) on and 12 (x force min/max) off, which
# the x-axis kind of a node plot always sets alike; flags 9 (y include zero)
# and 14 (y cross at minimum) on.
assert (x(68), x(69), x(74), x(71)) == (1, 0, 1, 1), (x(68), x(69), x(74), x(71))
# The items header: size, data size, then the counts of cutting planes,
# iso-surfaces, particle-trace sets, traces and node plots.
counts = struct.unpack_from('<5i', a[(1019, 1)], 8)
assert counts[4] == 2, ('node plot items', counts)
assert_same_state(a, b)
PY
echo "NKF plot state session passed"
