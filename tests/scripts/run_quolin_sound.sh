#!/usr/bin/env bash
# tests/scripts/run_quolin_sound.sh PROGRAM -- runs the viewer on a unit
# hexahedron in a fresh home whose fileopen.qlc adds a sound source, lists
# the sources, tries an audio source on the one-step model and exits. OpenAL
# Soft uses its null back end (no sound card in CI). Expects status 0 and
# the command texts on standard error.
set -uo pipefail
program="$1"
. "$(dirname "$0")/fresh_home.sh"
export ALSOFT_DRIVERS=null

write_unit_hex unithex.nkf
printf '%s\n' 'debugcommands on' 'sound add 1,7 "Bell" bell.wav' 'sound' \
  'audio add 0 6 1 tone.wav' 'exit' > "$home/.config/Brovik/fileopen.qlc"

timeout "$(wait_limit 60)" "$program" unithex.nkf 2>"$home/err.txt"
status=$?
[ $status -eq 0 ] || fail "ended with status $status"
err="$(cat "$home/err.txt")"
for text in $'Added sound source (ID: 1)\n  node: 1,7   "Bell"\n  filename: "bell.wav"' \
            $'Sound sources:\n  ID 1:  node: 1,7  "Bell"\n' \
            'Error: No animation is set up'; do
  [[ "$err" == *"$text"* ]] || fail "missing: $text"
done
echo "sound session passed"
