#!/usr/bin/env bash
# tests/scripts/own_home.sh -- runs the command given in a home of its own:
# HOME, the XDG folders (configuration, data, cache, state and the private
# runtime folder) and the temporary folder (TMPDIR) in a fresh temporary
# folder, removed when the command ends; its status is the command's. CTest runs every test through
# it, so that no test reads or writes the user's files (Qt's file dialog
# keeps its history in the configuration folder, Mesa its shader cache in
# the cache folder) and tests running at once share no settings or
# request socket. The home holds the command it runs (.quolin_test_command,
# each word ended by a NUL): a test killed at its time limit goes with this
# script, whose removal of the home never runs then, and scripts/run-ctest
# tells by the command whose home stayed.
#
# What the command leaves in the system's temporary folder (/tmp, and the
# folders in it such as /tmp/.X11-unix) fails it, named and then removed:
# a test writes only under its own TMPDIR. What the command made is told
# apart from what other processes on the machine make there meanwhile
# (builds, X servers, other tests) by its group: the command runs with a
# group of its own (a number no account uses, from this script's process
# number, unique while it runs), which every process it starts inherits
# and every file they make takes. Once the command has ended and every
# process of that group with it, whatever in /tmp has that group and did
# not before is the command's. Only root may take such a group
# (setpriv): for another user the command runs as it is and /tmp is not
# looked at.
set -u
home="$(mktemp -d "${TMPDIR:-/tmp}/quolin_test_home_XXXXXX")" || exit 1
trap 'rm -rf "$home"' EXIT
printf '%s\0' "$@" >"$home/.quolin_test_command"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home/run" \
  TMPDIR="$home/tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"

if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null || ! command -v pgrep >/dev/null; then
  "$@"
  exit
fi
. "$(dirname "${BASH_SOURCE[0]}")/wait_limit.sh"
group=$((2000000000 + $$))
# What in /tmp has the group, a path a line: of a folder that has it, not
# what is in it; the home, which goes anyway, is not looked in. The folders
# that X and its clients share are made by whichever server comes first
# and stay: they are no test's.
with_group() {
  find /tmp -mindepth 1 -maxdepth 2 -path "$home" -prune -o -gid "$group" -print -prune 2>/dev/null |
    grep -Ev '^/tmp/\.(X11|ICE|font|XIM|Test)-unix$' | sort
}
before="$(with_group)"
status=0
setpriv --regid "$group" --keep-groups -- "$@" || status=$?
# A process the command started may end a moment after it (an X server
# removes its lock file as it goes).
limit=$(($(wait_limit 60) * 10))
for ((tenths = 0; tenths < limit; tenths++)); do
  pgrep -G "$group" >/dev/null || break
  sleep 0.1
done
left="$(comm -13 <(echo "$before") <(with_group) | grep -v '^$')"
if [ -n "$left" ]; then
  echo "own_home.sh: the test left in /tmp (write under TMPDIR): $(paste -sd' ' <<<"$left")" >&2
  while IFS= read -r path; do rm -rf -- "$path"; done <<<"$left"
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
