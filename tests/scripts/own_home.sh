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
set -u
home="$(mktemp -d "${TMPDIR:-/tmp}/quolin_test_home_XXXXXX")" || exit 1
trap 'rm -rf "$home"' EXIT
printf '%s\0' "$@" >"$home/.quolin_test_command"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home/run" \
  TMPDIR="$home/tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$@"
