#!/usr/bin/env bash
# tests/scripts/run_quolin_bad_inputs.sh PROGRAM EXAMPLES -- every command that
# reads a file, given a folder, an empty file, an unreadable file, a file
# that does not exist, a FIFO (no writer ever comes: a reader that opens it
# the ordinary way waits for good) and a link to /dev/zero (it never ends:
# a reader that reads to the end runs out of memory). The viewer runs on the
# example beam, under a time limit, once for the commands together and once
# for each command that needs a start of its own (see alone); its
# fileopen.qlc gives each command each of the files, each followed by a
# node listing of the beam. Each case must fail (the command file runner
# reports the line, so the command answered 1) with an error naming the
# file, and the beam must stay loaded (the listing right after it works).
# Running as root, the unreadable file is left out: root reads it anyway.
# Prints one line per case; fails when any case fails. A case listed in
# "pending" prints PENDING instead of failing: a fault known and left for
# later, to be taken off the list when mended.
set -uo pipefail
program="$1"
examples="$2"
. "$(dirname "$0")/fresh_home.sh"

# The commands, FILE standing for the file given (quoted).
# ("openfemresultfile" and "openmarkinggrid" read nothing.)
commands=(
  'open FILE' 'opennkffile FILE' 'opendynastatedb FILE' 'openiesoutput3d FILE'
  'opennkfplot FILE' 'openresultsfile FILE' 'openths FILE' 'readgeometry FILE'
  'readresults FILE' 'readscalar FILE' 'readdisplacements FILE' 'readvector FILE'
  'readlines FILE' 'readbc FILE' 'readrgb FILE' 'readtexture FILE' 'readtransformation FILE'
  'readviewpoints FILE' 'readvolume FILE' 'loadview FILE' 'source FILE'
  'audio add 1 1001 1 FILE' 'th open FILE' 'nkf open FILE' 'imagebackground FILE'
  'ride load FILE' 'addgeometry FILE' 'drawlogo FILE tl'
  'draw_texpoly 0 0 0 1 0 0 1 1 0 0 1 0 FILE' 'repeatfile FILE' 'pollfile FILE'
)
# "loadview" answers 0 whatever the file (it runs the file as a command
# file); its error must still name the file. An empty command file is a
# command file that does nothing.
answers_zero=('loadview FILE')
# What a command needs before it reads its file: an audio source is added
# to an animation only, so the beam's steps are animated first.
declare -A setup=(['audio add 1 1001 1 FILE']='animresults 1 3 1')
# A command runs in a start of its own where it has a setup (which changes
# what the commands after it see) or where its refusals change what they
# see.
alone=('audio add 1 1001 1 FILE')
# "ride load", "repeatfile" and "source" run the file as a command file.
# "pollfile" waits for a file still to come, and takes an empty one: its
# lines are those written after it.
not_bad=('source FILE:empty.in' 'repeatfile FILE:empty.in' 'ride load FILE:empty.in'
  'pollfile FILE:empty.in' 'pollfile FILE:missing.in' 'pollfile FILE:unreadable.in')
# Command and file known to fail, each printing PENDING until mended
# ("COMMAND:FILE", as in not_bad).
pending=()
listed() { # listed ITEM LIST...
  local item="$1" entry; shift
  for entry in "$@"; do [ "$entry" = "$item" ] && return 0; done
  return 1
}

cp "$examples/beam.nkf" beam.nkf
mkdir folder.in
: > empty.in
mkfifo fifo.in
ln -s /dev/zero zero.in
cases=("$PWD/folder.in" "$PWD/empty.in" "$PWD/missing.in" "$PWD/fifo.in" "$PWD/zero.in")
if [ "$(id -u)" -ne 0 ]; then
  printf 'data\n' > unreadable.in
  chmod 000 unreadable.in
  cases+=("$PWD/unreadable.in")
else
  echo "running as root: the unreadable file is left out"
fi

listing="  1, 1011:  x =  1.00000e+01  y =  0.00000e+00  z =  0.00000e+00"
# The starts: the commands together, then each of those alone, a command a
# line.
together=()
for command in "${commands[@]}"; do listed "$command" "${alone[@]}" || together+=("$command"); done
starts=("$(printf '%s\n' "${together[@]}")" "${alone[@]}")
failures=0
for start in "${starts[@]}"; do
  mapfile -t run <<<"$start"
  # The listing is an information line: the runner shows those only while
  # commands are debugged.
  {
    echo 'debugcommands on'
    for command in "${run[@]}"; do
      [ -z "${setup[$command]:-}" ] || echo "${setup[$command]}"
      for file in "${cases[@]}"; do
        listed "$command:${file##*/}" "${not_bad[@]}" && continue
        printf '%s\ncoordinates 1,1011\n' "${command/FILE/\"$file\"}"
      done
    done
    echo exit
  } >"$brovik/fileopen.qlc"
  timeout "$(wait_limit $((60 * ${#run[@]})))" "$program" beam.nkf >"$home/out.txt" 2>&1
  status=$?
  # Each failed line's messages come before the runner's report of it
  # ("Command: <line>"): one record a line, in the order run, its line, a
  # tab and its messages joined by blanks (the echoes of the lines left
  # out). A line that answered 0 has its record from the echo of the next
  # line.
  report="$(awk '
    /^>>> / { if (line != "") print line "\t" buffer; line = substr($0, 5); buffer = ""; next }
    /^Error: Command: / { failed[substr($0, 17)] = 1; next }
    { buffer = buffer " " $0 }
    END { if (line != "") print line "\t" buffer
          for (f in failed) print "FAILED\t" f }
  ' "$home/out.txt")"
  before=$failures
  for command in "${run[@]}"; do
    for file in "${cases[@]}"; do
      listed "$command:${file##*/}" "${not_bad[@]}" && continue
      line="${command/FILE/\"$file\"}"
      # The line's record and the next, the listing's.
      record="$(awk -F '\t' -v line="$line" 'at { print; exit } $1 == line { print; at = 1 }' <<<"$report")"
      after="$(tail -n +2 <<<"$record")"
      record="$(head -n 1 <<<"$record")"
      result="ok"
      if [ "$status" -ne 0 ]; then
        result="FAIL (the program ended with status $status)"
      elif ! listed "$command" "${answers_zero[@]}" && ! grep -qxF -- "FAILED"$'\t'"$line" <<<"$report"; then
        result="FAIL (the command answered 0)"
      elif [[ "${record#*$'\t'}" != *"$file"* ]]; then
        result="FAIL (no message names $file)"
      elif [ "${after%%$'\t'*}" != "coordinates 1,1011" ] || [[ "${after#*$'\t'}" != *"$listing"* ]]; then
        result="FAIL (the beam was not kept)"
      fi
      if [ "$result" != ok ] && listed "$command:${file##*/}" "${pending[@]}"; then
        result="PENDING: ${result#FAIL }"
      fi
      [[ "$result" == FAIL* ]] && failures=$((failures + 1))
      echo "$line: $result"
    done
  done
  [ "$failures" -eq "$before" ] || { echo "--- output:"; cat "$home/out.txt"; echo "---"; }
done
[ "$failures" -eq 0 ] || { echo "FAIL: $failures cases"; exit 1; }
echo "every reader refused every bad file"
