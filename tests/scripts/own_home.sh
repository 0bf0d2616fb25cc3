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
# process of that group with it, whatever in /tmp has that group and was
# made or changed since the script began is the command's. (What an
# earlier script of the same process number left with the group is older:
# the process numbers come round again only after many thousands of
# processes, not within the second of slack given here.) Only root may
# take such a group (setpriv): for another user the command runs as it is
# and /tmp is not looked at. The check costs three programs (setpriv,
# grep, find) beside the command: CTest runs it some two thousand times.
set -u
since=$((EPOCHSECONDS - 1))
home="$(mktemp -d "${TMPDIR:-/tmp}/quolin_test_home_XXXXXX")" || exit 1
trap 'rm -rf "$home"' EXIT
printf '%s\0' "$@" >"$home/.quolin_test_command"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home/run" \
  TMPDIR="$home/tmp"
# The folders private to the user, as the runtime folder must be.
mkdir -p -m 700 "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$TMPDIR" \
  "$XDG_RUNTIME_DIR"

if [ "$EUID" != 0 ] || ! command -v setpriv >/dev/null || [ ! -e /proc/self/status ]; then
  "$@"
  exit
fi
group=$((2000000000 + $$))
status=0
setpriv --regid "$group" --keep-groups -- "$@" || status=$?
# Whether a process of the group runs: its real group, as pgrep -G reads
# it, but in one program that stops at the first such process.
group_runs() { grep -qsF $'Gid:\t'"$group"$'\t' /proc/[0-9]*/status; }
# A process the command started may end a moment after it (an X server
# removes its lock file as it goes).
if group_runs; then
  scripts="${BASH_SOURCE[0]%/*}"
  [ "$scripts" != "${BASH_SOURCE[0]}" ] || scripts=.
  . "$scripts/wait_limit.sh"
  limit=$(($(wait_limit 60) * 10))
  for ((tenths = 1; tenths < limit; tenths++)); do
    sleep 0.1
    group_runs || break
  done
fi
# What in /tmp has the group and is new, a path a line: of a folder that
# has the group, not what is in it; the home, which goes anyway, is not
# looked in. The folders that X and its clients share are made by
# whichever server comes first and stay: they are no test's.
left="$(find /tmp -mindepth 1 -maxdepth 2 -path "$home" -prune -o -gid "$group" -prune \
  -newerct "@$since" ! -path /tmp/.X11-unix ! -path /tmp/.ICE-unix ! -path /tmp/.font-unix \
  ! -path /tmp/.XIM-unix ! -path /tmp/.Test-unix -print 2>/dev/null)"
if [ -n "$left" ]; then
  left="$(sort <<<"$left")"
  echo "own_home.sh: the test left in /tmp (write under TMPDIR): ${left//$'\n'/ }" >&2
  while IFS= read -r path; do rm -rf -- "$path"; done <<<"$left"
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
