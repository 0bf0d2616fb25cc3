#!/usr/bin/env bash
# tests/scripts/run_quolin_session.sh PROGRAM EXAMPLES -- runs the viewer
# twice in a fresh home (HOME, XDG_CONFIG_HOME and XDG_DATA_HOME in a
# temporary folder) with start-up command files that end in "exit":
#   1. "quolin beam.nkf" whose fileopen.qlc dumps the model: status 0, the
#      dump shows the beam, the settings hold it as the first recent file,
#      and the first run registered the file types;
#   2. "quolin" whose quolin.qlc moves the window: status 0, the settings
#      hold the new position;
#   3. "quolin -pixelformat 100000": no context, no window, status 1.
set -uo pipefail
program="$1"; examples="$2"
. "$(dirname "$0")/fresh_home.sh"
conf="$home/.config/Brovik/Quolin Dulm.conf"
fail() { echo "FAIL: $*"; [ -f "$conf" ] && cat "$conf"; exit 1; }

printf 'dump "%s/t.dbg"\nexit\n' "$home" > "$home/.config/Brovik/fileopen.qlc"
timeout "$(wait_limit 60)" "$program" "$examples/beam.nkf" || fail "run 1 ended with status $?"
grep -q -- "- iNumFrames           = 1" "$home/t.dbg" || fail "dump: frames"
grep -q -- "- iTotalNumNodes       = 99" "$home/t.dbg" || fail "dump: nodes"
grep -q -- "- iTotalNumPolygons    = 88" "$home/t.dbg" || fail "dump: polygons"
grep -qx "Recent%20File%20List\\\\File1=$examples/beam.nkf" "$conf" || fail "recent file 1"
[ -f "$XDG_DATA_HOME/applications/quolin-dulm.desktop" ] || fail "desktop entry"
[ -f "$XDG_DATA_HOME/mime/packages/quolin-dulm.xml" ] || fail "MIME package"

rm "$home/.config/Brovik/fileopen.qlc"
printf 'winposition 10 20\nexit\n' > "$home/.config/Brovik/quolin.qlc"
timeout "$(wait_limit 60)" "$program" || fail "run 2 ended with status $?"
for key in "Window%20X-Pos=10" "Window%20Y-Pos=20" "Maximized=0"; do
  grep -qx "$key" "$conf" || fail "$key"
done
for i in 1 2 3 4; do
  grep -q "^Recent%20File%20List\\\\File$i=" "$conf" || fail "File$i"
done
# A view that gets no OpenGL context: no window, status 1.
rm "$home/.config/Brovik/quolin.qlc"
CI=1 timeout "$(wait_limit 60)" "$program" -pixelformat 100000 >"$home/out.txt" 2>&1
status=$?
[ $status -eq 1 ] || fail "run 3 ended with status $status"
grep -q "Unable to initialize OpenGL window, aborting!" "$home/out.txt" || fail "run 3 message"
echo "all runs passed"
