#!/usr/bin/env bash
# tests/scripts/run_quolin_texture.sh PROGRAM EXAMPLES -- runs the viewer on
# the example plate in a fresh home whose fileopen.qlc reads a 2 x 2 BMP as
# texture "q" onto part 1, lists the texture images and exits. Expects
# status 0, the load message and the listed image on standard error.
set -uo pipefail
program="$1"
examples="$2"
. "$(dirname "$0")/fresh_home.sh"

cp "$examples/plate.nkf" plate.nkf
write_rgbw_bmp q.bmp
printf '%s\n' 'debugcommands on' "readtexture $PWD/q.bmp 1 1 q" 'listtextures' 'exit' \
  > "$brovik/fileopen.qlc"

timeout "$(wait_limit 60)" "$program" plate.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
[[ "$err" == *"Texture q loaded and enabled for part 1 to part 1"* ]] ||
  fail "missing: the load message"
[[ "$err" == *" q (2x2)"* ]] || fail "missing: the listed image"
echo "texture session passed"
