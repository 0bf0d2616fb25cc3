#!/usr/bin/env bash
# tests/scripts/run_quolin_nkf_state.sh PROGRAM EXAMPLES -- runs the viewer
# on the example beam in a fresh home whose fileopen.qlc changes the display
# state, exports it as a.nkf, opens a.nkf, shows its cutting plane and
# exports b.nkf. Expects status 0, no command error, a.nkf's settings,
# items and part attributes as set, the plane back after the open (b.nkf's
# plane record: point 5, 0.5, 0.5, normal 1, 0, 0), and
# b.nkf's display-state blocks equal to a.nkf's (the view words within
# 1e-4). A second run without the cutting plane writes no plane and has none
# enabled after the open.
set -uo pipefail
program="$1"
examples="$2"
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf

run_session() {  # $1: 1 with the cutting plane, 0 without
  local plane=() info=()
  if [ "$1" = 1 ]; then plane=('cutplane 5 0.5 0.5 1 0 0'); info=('cutplaneinfo 1'); fi
  printf '%s\n' 'readstate 3 1 1' 'legendabovecolor 255 128 0' 'light 1 0 1' 'nolegend' \
    'fringerange 0.25 0.75' "${plane[@]}" "export nkf \"$PWD/a.nkf\"" "open \"$PWD/a.nkf\"" \
    "${info[@]}" "export nkf \"$PWD/b.nkf\"" 'exit' > "$brovik/fileopen.qlc"
  timeout "$(wait_limit 60)" "$program" beam.nkf 2>"$home/err.txt"
  status=$?
  [ $status -eq 0 ] || fail "ended with status $status"
  if grep -q "Error" "$home/err.txt"; then fail "a command failed"; fi
  [ -s a.nkf ] && [ -s b.nkf ] || fail "missing: an export"
}

check() {  # $1: 1 with the cutting plane, 0 without
  python3 - "$1" "$scripts" <<'PY' || fail "the exports differ from the state set"
import struct, sys
with_plane = sys.argv[1] == '1'
sys.path.insert(0, sys.argv[2])
from nkf_blocks import blocks, assert_same_state

def words(raw, fmt_at):
    return struct.unpack_from('<' + fmt_at[0], raw, fmt_at[1])

a, b = blocks('a.nkf'), blocks('b.nkf')
s = a[(1018, 1)]
assert struct.unpack_from('<6i', s, 0) == (24, 1328, 1, 1, 1, 0), struct.unpack_from('<6i', s, 0)
main = 24
w = lambda n: struct.unpack_from('<i', s, main + 4 * n)[0]
f = lambda n: struct.unpack_from('<f', s, main + 4 * n)[0]
assert (f(37), f(38), f(39)) == struct.unpack('<3f', struct.pack('<3f', 1.0, 0.501960814, 0.0)), (f(37), f(38), f(39))
assert w(34) == 0, w(34)
assert (w(89), w(90), w(91)) == (1, 0, 1), (w(89), w(90), w(91))
scalar = main + 1228
assert struct.unpack_from('<i2f', s, scalar) == (28, 0.25, 0.75), struct.unpack_from('<i2f', s, scalar)
planes = struct.unpack_from('<i', a[(1019, 1)], 8)[0] if (1019, 1) in a else 0
assert planes == (1 if with_plane else 0), planes
if with_plane:
    # The plane record after the 28-byte header: size, point, normal.
    rec = struct.unpack_from('<i6f', b[(1019, 1)], 28)
    assert rec == (44, 5.0, 0.5, 0.5, 1.0, 0.0, 0.0), rec
assert_same_state(a, b)
PY
}

run_session 1
check 1
rm -f a.nkf b.nkf
run_session 0
check 0
echo "NKF display state session passed"
