#!/usr/bin/env bash
# tests/scripts/run_quolin_everything.sh PROGRAM EXAMPLES HISTORY_WRITER --
# runs the viewer in a fresh home on one command file that reaches every
# subsystem and then exits: an LS-DYNA time-history database (written by
# HISTORY_WRITER) opened, queried, plotted and exported; the first example
# (EXAMPLES/beam.qlc: the beam with a state, fringes, the legend and a view);
# a cutting plane, an iso-surface, a particle trace, a node plot with its
# plot settings; every image the program writes, rendered and captured; the
# scene as VRML, STL, attributes, NKF and PostScript. Expects status 0, no
# failed command line, no sanitizer report, every file written and not
# empty, and the fringes' colours in the rendered image. Everything is
# written in the fresh home, which is removed at the end.
set -uo pipefail
program="$1"; examples="$2"; writer="$3"
. "$(dirname "$0")/fresh_home.sh"
out="$home/out.txt"
fail() { echo "FAIL: $*"; cat "$out"; exit 1; }

"$writer" d3thdt || fail "could not write the time-history database"
images=(toppm:r.ppm torgb:r.rgb totiff:r.tif togif:r.gif toeps:r.eps tobmp:r.bmp
        captppm:c.ppm captrgb:c.rgb capttiff:c.tif captgif:c.gif capteps:c.eps)
scenes=(tovrml:s.wrl "export stl:s.stl" saveattributes:s.atr "export nkf:s.nkf" tops:s.ps
        "plt tops:plot.ps" "export plot:np.txt" dump:s.dbg)
{
  echo "debugcommands on"
  echo 'th open d3thdt'
  echo 'th query'
  echo 'th plot 1 1 1'
  echo 'plt title Brick stress'
  echo 'plt grid x y'
  echo 'export plot th.txt'
  echo 'th close'
  echo "open \"$examples/beam.qlc\""
  echo 'cutplane 5 0.5 0.5 1 0 0'
  echo 'cutplanesurface'
  echo 'isosurface 20'
  echo 'particletrace 5.1 0.4 0.9'
  echo 'np 1,1011 1,1022'
  echo 'np step'
  echo 'plt legend'
  echo 'plt grid x y'
  echo 'plt showminmax on'
  echo 'plt separate'
  echo 'plt noseparate'
  echo 'rotatez 1 1 10'
  echo 'rscale 1 1 2'
  echo 'identity'
  echo 'rotationpoint model'
  echo 'xmirror 2'
  echo 'mirror showplane 1'
  echo 'mirror info'
  echo 'mirror hideplane 1'
  echo 'nomirror'
  for e in "${images[@]}" "${scenes[@]}"; do echo "${e%%:*} ${e#*:}"; done
  echo 'exit'
} > everything.qlc

ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}:halt_on_error=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  timeout "$(wait_limit 120)" "$program" everything.qlc >"$out" 2>&1
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
! grep -Eq "Sanitizer|runtime error:" "$out" || fail "a sanitizer report"
! grep -q "^Error in file" "$out" || fail "a command line failed"
grep -q "Commands read from file beam.qlc." "$out" || fail "the example did not run"
grep -q "Commands read from file everything.qlc." "$out" || fail "the file did not run to its end"
for f in th.txt "${images[@]#*:}" "${scenes[@]#*:}"; do
  [ -s "$f" ] || fail "$f was not written"
done

# The rendered image shows the fringes and their legend: pixels of the
# legend's bright red and blue ends, and coloured model pixels between the
# legend (left) and the info box (right).
counts=$(pnmtoplainpnm r.ppm | awk '
  NR == 2 { w = $1 }
  NR > 3 { for (i = 1; i <= NF; i++) v[n++] = $i }
  END {
    for (i = 0; i + 2 < n; i += 3) {
      x = (i / 3) % w
      if (v[i] > 200 && v[i + 1] < 80 && v[i + 2] < 80) r++
      if (v[i + 2] > 200 && v[i] < 80 && v[i + 1] < 80) b++
      if (x > 120 && x < w - 240 && v[i] + v[i + 1] + v[i + 2] > 60) m++
    }
    print r + 0, b + 0, m + 0
  }')
read -r red blue model <<<"$counts"
[ "$red" -gt 100 ] && [ "$blue" -gt 100 ] && [ "$model" -gt 2000 ] ||
  fail "r.ppm: $red red, $blue blue and $model model pixels"
echo "every subsystem ran; exit status 0"
