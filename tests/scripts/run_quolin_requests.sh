#!/usr/bin/env bash
# tests/scripts/run_quolin_requests.sh PROGRAM EXAMPLES CLIENT -- drives the
# viewer through its request server from another process, in a fresh home
# and a private XDG_RUNTIME_DIR:
#   1. "quolin" whose quolin.qlc says "dde" serves on $XDG_RUNTIME_DIR/Quolin;
#   2. a second "quolin" with "dde" cannot serve there and says why, and the
#      first serves on;
#   3. with a runtime folder that others may enter, or a link to one, "dde"
#      fails and makes no socket;
#   4. the client CLIENT sends EXEC open, dump and exit: three ACKs, the dump
#      shows the beam, the program ends with status 0 and its socket is gone.
set -uo pipefail
program="$1"; examples="$2"; client="$3"
. "$(dirname "$0")/wait_limit.sh"
home="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
export XDG_RUNTIME_DIR="$home/run"
mkdir -p "$home/.config/Brovik" "$home/work" "$home/other/.config/Brovik"
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket="$XDG_RUNTIME_DIR/Quolin"
cd "$home/work" || exit 1
fail() { echo "FAIL: $*"; cat "$home/out1.txt" "$home/out2.txt" 2>/dev/null | tail -40; exit 1; }

printf 'dde\n' > "$home/.config/Brovik/quolin.qlc"
timeout "$(wait_limit 120)" "$program" >"$home/out1.txt" 2>&1 &
pid=$!
for _ in $(seq $(($(wait_limit 60) * 10))); do [ -S "$socket" ] && break; sleep 0.1; done
[ -S "$socket" ] || fail "no socket"
[ "$(stat -c %a "$socket")" = 700 ] || fail "socket mode $(stat -c %a "$socket")"

# A second program in another home cannot take the socket (the messages of
# its start-up file are shown).
printf 'debugcommands on\ndde\nexit\n' > "$home/other/.config/Brovik/quolin.qlc"
HOME="$home/other" XDG_CONFIG_HOME="$home/other/.config" XDG_DATA_HOME="$home/other/.local/share" \
  CI=1 timeout "$(wait_limit 60)" "$program" >"$home/out2.txt" 2>&1 || fail "second program ended with status $?"
grep -q "Another program already serves requests on $socket" "$home/out2.txt" || fail "second: message"
[ -S "$socket" ] || fail "the second program removed the socket"

# Unsafe runtime folders: a folder of mode 0755 and a link to a private one.
mkdir -m 755 "$home/open"
ln -s "$XDG_RUNTIME_DIR" "$home/link"
for folder in "$home/open" "$home/link"; do
  XDG_RUNTIME_DIR="$folder" HOME="$home/other" XDG_CONFIG_HOME="$home/other/.config" \
    XDG_DATA_HOME="$home/other/.local/share" CI=1 timeout "$(wait_limit 60)" "$program" >"$home/out2.txt" 2>&1 \
    || fail "$folder: status $?"
  grep -q "dde: Error initializing DDE" "$home/out2.txt" || fail "$folder: dde did not fail"
  grep -q "The request folder $folder" "$home/out2.txt" || fail "$folder: no reason"
done
[ -e "$home/open/Quolin" ] && fail "socket in the open folder"
[ "$(stat -c %a "$home/open")" = 755 ] || fail "the open folder was re-moded"

printf 'EXEC open "%s/beam.nkf"\nEXEC dump "%s/t.dbg"\nEXEC exit\n' "$examples" "$home" \
  | "$client" "$socket" -n 3 -t "$(wait_limit 60)" > "$home/answers.txt" || fail "client status $?"
[ "$(cat "$home/answers.txt")" = "$(printf 'ACK\nACK\nACK')" ] || fail "answers: $(cat "$home/answers.txt")"
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || fail "program ended with status $status"
grep -q -- "- iTotalNumNodes       = 99" "$home/t.dbg" || fail "dump: nodes"
[ -e "$socket" ] && fail "socket left behind"
echo "all requests served"
