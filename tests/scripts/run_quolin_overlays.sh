#!/usr/bin/env bash
# tests/scripts/run_quolin_overlays.sh PROGRAM EXAMPLES -- runs the viewer on
# the example beam in a fresh home whose fileopen.qlc writes one image of
# 810 x 600 per overlay: the plain model, the bounding box, a logo (a 2 x 2
# BMP made here) in the top left corner, the model hidden with and without
# the rotation point marker, the boundary conditions of a file made here,
# one kind at a time, and the legend before and after an iso-surface.
# Expects status 0 and each overlay's pixels where the plain image has
# none.
set -uo pipefail
program="$1"
examples="$2"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/fresh_home.sh"

cp "$examples/beam.nkf" beam.nkf
write_rgbw_bmp q.bmp
# One condition of each kind above the beam: x y z, label, six flags, then
# a value per flag that is set. The fixed support has no vector.
cat > bc.txt <<'BC'
*BOUNDARY
3 0.5 2 1 1 1 1 0 0 0 2 0 0
7 0.5 2 2 1 1 1 1 1 1
*NODE FORCE
4 0.5 2 3 1 1 1 0 0 0 1 1 0
*LINE FORCE
6 0.5 2 4 1 1 1 0 0 0 0 1 0
*SURFACE FORCE
8 0.5 2 5 1 1 1 0 0 0 -1 0 0
BC
shot() { echo "toppm \"$PWD/$1.ppm\" 810 600"; }
{
  echo 'debugcommands on'
  shot plain
  # Turned, so that the box's edges do not all lie on the beam's outline.
  echo 'setview 0.183 0.183 0 0.9659'; echo 'box'; shot box; echo 'nobox'; echo 'autofocus'
  echo "drawlogo \"$PWD/q.bmp\" tr 20 20"; shot logo; echo 'nodrawlogo'
  echo 'nomodel'; echo 'nobox'; shot hidden
  echo 'rotationpoint show'; shot rotation; echo 'rotationpoint hide'; echo 'model'
  echo "readbc \"$PWD/bc.txt\""; echo 'bc 1'
  echo 'nobcforce'; echo 'nobcload'; shot bcdis
  echo 'nobcdis'; echo 'bcforce'; shot bcforce
  echo 'nobcforce'; echo 'bcload'; shot bcload; echo 'nobc'
  echo 'readstate 3 1 1'; echo 'noautofringerange'; echo 'fringerange 0 1'; echo 'legend'
  shot legend
  echo 'isosurface 0.5'; shot iso
  echo 'exit'
} > "$brovik/fileopen.qlc"

timeout "$(wait_limit 120)" "$program" beam.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
for f in plain box logo hidden rotation bcdis bcforce bcload legend iso; do
  [ -s "$f.ppm" ] || fail "missing: the image $f"
done
[ -n "${QUOLIN_KEEP_IMAGES:-}" ] && cp ./*.ppm "$QUOLIN_KEEP_IMAGES"

ppm() { python3 "$here/ppm_probe.py" "$@"; }
more() { # more COUNT THAN: COUNT is at least 10 above THAN
  [ "$1" -ge $(($2 + 10)) ]
}

magenta="255 0 255"
more "$(ppm count box.ppm $magenta)" "$(ppm count plain.ppm $magenta)" ||
  fail "box: no edges in the box colour"
# The logo's top row is blue and white, its bottom row red and green, each
# a quarter of 20 x 20 pixels at the top right (x 765 to 805, y 5 to 45).
for row in "775 15 0 0 255" "795 15 255 255 255" "775 35 255 0 0" "795 35 0 255 0"; do
  ppm near logo.ppm $row || fail "logo: not ($row)"
  ! ppm near plain.ppm $row || fail "logo: ($row) without the logo"
done
# The rotation point marker lies somewhere in the middle of the view.
more "$(ppm differ hidden.ppm rotation.ppm 205 100 605 500)" 0 ||
  fail "rotation point: no marker"
# Each kind of condition in its colour, the others absent.
cyan="0 255 255"; yellow="255 255 0"; green="0 255 0"
for row in "bcdis:$cyan:$yellow" "bcforce:$yellow:$cyan" "bcload:$magenta:$cyan" \
           "bcload:$green:$yellow"; do
  IFS=: read -r shot shown absent <<<"$row"
  more "$(ppm count "$shot.ppm" $shown)" "$(ppm count plain.ppm $shown)" ||
    fail "$shot: nothing in $shown"
  [ "$(ppm count "$shot.ppm" $absent)" -le "$(ppm count plain.ppm $absent)" ] ||
    fail "$shot: pixels in $absent"
done
# The iso marker: a band across the legend's left edge (x -0.96 to -0.89).
more "$(ppm differ legend.ppm iso.ppm 17 60 43 540)" 0 || fail "legend: no iso marker"
echo "overlay session passed"
