#!/usr/bin/env bash
# tests/scripts/test_own_home.sh ROOT BUILD -- every test of the build but
# this one runs through tests/scripts/own_home.sh, and that gives the
# command a fresh home and XDG folders of its own, a private runtime
# folder, the command's status, and removes the home afterwards: no test
# reads or writes the user's files.
set -uo pipefail
root="$1"
build="$2"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every test's command, as CTest would run it.
listing="$(cd "$build" && ctest -N --show-only=json-v1)" || fail "ctest cannot list the tests"
missing="$(python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
bare = [t["name"] for t in tests if t["name"] != "tests_own_home" and
        not any("own_home.sh" in c for c in t.get("command", []))]
print(len(tests))
print("\n".join(bare))
' <<<"$listing")" || fail "the test listing does not read"
count="$(head -n 1 <<<"$missing")"
[ "${count:-0}" -gt 100 ] || fail "only ${count:-0} tests listed"
bare="$(tail -n +2 <<<"$missing")"
[ -z "$bare" ] || fail "tests run in the user's home (add \${QUOLIN_TEST_LAUNCHER}):
$bare"

# The home itself.
outer="$(mktemp -d)"
outer_tmp="$(mktemp -d)"
trap 'rm -rf "$outer" "$outer_tmp"' EXIT
report="$(HOME="$outer" XDG_CONFIG_HOME="$outer/.config" XDG_RUNTIME_DIR="$outer" TMPDIR="$outer_tmp" \
  bash "$root/tests/scripts/own_home.sh" bash -c '
    printf "%s\n" "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" \
      "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
    stat -c %a "$XDG_RUNTIME_DIR"
    mktemp -d >/dev/null
    touch "$XDG_CONFIG_HOME/QtProject.conf" && exit 7')"
status=$?
[ "$status" -eq 7 ] || fail "the command's status 7 came back as $status"
mapfile -t lines <<<"$report"
home="${lines[0]}"
case "$home" in "" | "$outer"*) fail "HOME is not a fresh folder: '$home'" ;; esac
[ "${lines[1]}" = "$home/.config" ] || fail "XDG_CONFIG_HOME ${lines[1]}"
[ "${lines[2]}" = "$home/.local/share" ] || fail "XDG_DATA_HOME ${lines[2]}"
[ "${lines[3]}" = "$home/.cache" ] || fail "XDG_CACHE_HOME ${lines[3]}"
[ "${lines[4]}" = "$home/.local/state" ] || fail "XDG_STATE_HOME ${lines[4]}"
[ "${lines[5]}" = "$home/run" ] || fail "XDG_RUNTIME_DIR ${lines[5]}"
[ "${lines[6]}" = "$home/tmp" ] || fail "TMPDIR ${lines[6]}"
[ "${lines[7]}" = 700 ] || fail "the runtime folder has mode ${lines[7]}"
[ ! -e "$home" ] || fail "the home $home was left behind"
[ -z "$(ls -A "$outer")" ] || fail "the outer home was written: $(ls -A "$outer")"
[ -z "$(ls -A "$outer_tmp")" ] || fail "the temporary folder kept: $(ls -A "$outer_tmp")"

[ "$failures" -eq 0 ] || exit 1
echo "$count tests run in a home of their own"
