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

# What a command leaves in /tmp or in a folder of another's there fails it,
# named, and goes, and so does what a process of the command makes a moment
# after the command ended; what another process makes there meanwhile, and
# what a process of the command removes a moment after the command ended
# (as an X server its lock file), does not.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  . "$root/tests/scripts/wait_limit.sh"
  signals="$(mktemp -d)"
  trap 'rm -rf "$outer" "$outer_tmp" "${signals%/at}"' EXIT
  # Where the command and the other process tell each other how far they
  # are: deeper than /tmp is looked at.
  mkdir "$signals/at" && signals="$signals/at"
  made="$(mktemp -u /tmp/quolin_own_home_test_XXXXXX)"
  mkdir "$made.dir"
  # Another process of the machine: makes a file in /tmp once the command
  # has begun, and the command ends only after that.
  (
    for ((i = 0; i < $(wait_limit 60) * 10; i++)); do
      [ -e "$signals/begun" ] && break
      sleep 0.1
    done
    touch "$made.other" "$signals/made"
  ) &
  other=$!
  report="$(TMPDIR="$outer_tmp" SIGNALS="$signals" LIMIT="$(wait_limit 60)" MADE="$made" \
    bash "$root/tests/scripts/own_home.sh" bash -c '
      touch "$SIGNALS/begun"
      for ((i = 0; i < LIMIT * 10; i++)); do [ -e "$SIGNALS/made" ] && break; sleep 0.1; done
      mkdir "$MADE.left" && touch "$MADE.left/inside" "$MADE.file" "$MADE.dir/inside"
      (sleep 1; rm -f "$MADE.going"; touch "$MADE.late") & touch "$MADE.going"' 2>&1)"
  status=$?
  wait "$other"
  [ "$status" -eq 1 ] || fail "a command that left files in /tmp ended with status $status"
  expected="own_home.sh: the test left in /tmp (write under TMPDIR): $made.dir/inside $made.file $made.late $made.left"
  [ "$report" = "$expected" ] || fail "what was left is named as: $report"
  for path in "$made.left" "$made.file" "$made.going" "$made.dir/inside" "$made.late"; do
    [ ! -e "$path" ] || fail "$path stayed"
  done
  [ -e "$made.other" ] || fail "another process's file went"
  [ -d "$made.dir" ] || fail "another process's folder went"
  rm -rf "$made.other" "$made.dir"
  report="$(TMPDIR="$outer_tmp" bash "$root/tests/scripts/own_home.sh" bash -c 'exit 4' 2>&1)"
  status=$?
  [ "$status" -eq 4 ] && [ -z "$report" ] || fail "a clean command: status $status, '$report'"
fi

[ "$failures" -eq 0 ] || exit 1
echo "$count tests run in a home of their own"
