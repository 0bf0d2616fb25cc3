#!/usr/bin/env bash
# tests/scripts/run_quolin_sound.sh PROGRAM -- runs the viewer on a unit
# hexahedron in a fresh home whose fileopen.qlc adds a sound source, lists
# the sources, tries an audio source on the one-step model and exits. OpenAL
# Soft uses its null back end (no sound card in CI). Expects status 0 and
# the command texts on standard error.
set -uo pipefail
program="$1"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
export ALSOFT_DRIVERS=null
mkdir -p "$home/.config/Brovik" "$home/work"
cd "$home/work" || exit 1
fail() { echo "FAIL: $*"; cat "$home/err.txt"; exit 1; }

cat > unithex.nkf <<'NKF'
*NKF-1.00
*NODES 1
0 0 0
1 0 0
1 1 0
0 1 0
0 0 1
1 0 1
1 1 1
0 1 1
*ELEMENTS 1
%NAME "Hex"
%NODES #1
%WITH_ID
%HEXAHEDRONS
1 1 2 3 4 5 6 7 8
*QUOLINGEOMETRY 1
%NAME "Hex"
%ELEMENTS
1
NKF
printf '%s\n' 'debugcommands on' 'sound add 1,7 "Bell" bell.wav' 'sound' \
  'audio add 0 6 1 tone.wav' 'exit' > "$home/.config/Brovik/fileopen.qlc"

timeout 60 "$program" unithex.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
for text in $'Added sound source (ID: 1)\n  node: 1,7   "Bell"\n  filename: "bell.wav"' \
            $'Sound sources:\n  ID 1:  node: 1,7  "Bell"\n' \
            'Error: No animation is set up'; do
  [[ "$err" == *"$text"* ]] || fail "missing: $text"
done
echo "sound session passed"
