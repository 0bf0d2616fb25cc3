#!/usr/bin/env bash
# tests/scripts/run_quolin_install.sh CMAKE BUILD EXAMPLES -- installs the
# build with "cmake --install" into a fresh prefix and runs the installed
# program in a fresh home, each run ending in "exit" from quolin.qlc:
#   1. quolin.qlc opens the beam and draws it to an image: status 0; the
#      site's fileopen.qlc installed beside the program ran its lines
#      without an error (the legend on, the Results Menu built); the first run
#      registered with the desktop what the installation, one of the
#      desktop's data folders, holds (the same desktop entry, shown in the
#      applications menu, and file types), and the icon is installed;
#   2. the same with the user's own fileopen.qlc, which dumps the model: it
#      runs instead of the site's, so the image (no legend) is
#      another;
#   3. a command file whose second line fails, named on the command line:
#      the failing command's own error is shown, not only the report;
#   4. installed as README says, into the user's own data folder (prefix
#      ~/.local), a first run that runs forceregisterfiles leaves the
#      installed entry shown in the applications menu.
set -uo pipefail
cmake="$1"; build="$2"; examples="$3"
. "$(dirname "$0")/fresh_home.sh"

prefix="$home/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$home/install.txt" 2>&1 ||
  { cat "$home/install.txt"; fail "cmake --install"; }
program="$prefix/bin/quolin"
for f in bin/quolin bin/fileopen.qlc bin/mpgenc share/applications/quolin-dulm.desktop \
  share/mime/packages/quolin-dulm.xml share/icons/hicolor/scalable/apps/quolin-dulm.svg; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
grep -q "^NoDisplay=" "$prefix/share/applications/quolin-dulm.desktop" &&
  fail "the installed desktop entry is kept out of the applications menu"
grep -q "Warning" "$home/install.txt" && { cat "$home/install.txt"; fail "cmake --install warned"; }
# The installation's data folder is one the desktop reads.
export XDG_DATA_DIRS="$prefix/share"
cp "$examples/beam.nkf" beam.nkf

# Run 1: the site's file. Command output echoes the lines of the files run.
printf '%s\n' 'debugcommands on' "open \"$PWD/beam.nkf\"" "toppm \"$PWD/site.ppm\" 400 300" \
  'exit' >"$brovik/quolin.qlc"
timeout "$(wait_limit 60)" "$program" 2>"$home/err.txt" || fail "run 1 ended with status $?"
grep -q "Running \"file open\" command file..." "$home/err.txt" || fail "run 1: no fileopen.qlc"
grep -q "> usermenu res" "$home/err.txt" || fail "run 1: the site's file did not run"
grep -q "Error" "$home/err.txt" && fail "run 1: an error"
[ -s site.ppm ] || fail "run 1: no image"
for f in applications/quolin-dulm.desktop mime/packages/quolin-dulm.xml; do
  cmp -s "$XDG_DATA_HOME/$f" "$prefix/share/$f" ||
    { diff "$XDG_DATA_HOME/$f" "$prefix/share/$f"; fail "the installed $f differs"; }
done

# Run 2: the user's own file runs instead.
printf 'dump "%s/t.dbg"\n' "$home" >"$brovik/fileopen.qlc"
printf '%s\n' "open \"$PWD/beam.nkf\"" "toppm \"$PWD/user.ppm\" 400 300" 'exit' \
  >"$brovik/quolin.qlc"
timeout "$(wait_limit 60)" "$program" 2>"$home/err.txt" || fail "run 2 ended with status $?"
grep -q -- "- iTotalNumNodes       = 99" "$home/t.dbg" || fail "run 2: the user's file did not run"
[ -s user.ppm ] || fail "run 2: no image"
cmp -s site.ppm user.ppm && fail "the site's file changed nothing in the image of run 1"

# Run 3: a command file whose second line fails.
rm "$brovik/quolin.qlc"
printf '%s\n' "open \"$PWD/beam.nkf\"" 'readstate 0' 'exit' >script.qlc
timeout "$(wait_limit 60)" "$program" script.qlc 2>"$home/err.txt" || fail "run 3 ended with status $?"
grep -q "Error: readstate: State must be 1 or greater" "$home/err.txt" ||
  fail "run 3: the command's own error"
grep -q "Error: Line: 2" "$home/err.txt" || fail "run 3: the runner's report"

# Run 4: installed into ~/.local, the folder the registration writes to.
"$cmake" --install "$build" --prefix "$HOME/.local" >"$home/install.txt" 2>&1 ||
  { cat "$home/install.txt"; fail "cmake --install into ~/.local"; }
export XDG_DATA_DIRS="$home/no-such-folder"
rm -rf "$brovik"/*.conf "$brovik/quolin.qlc" "$brovik/fileopen.qlc"
printf '%s\n' 'forceregisterfiles' 'exit' >"$brovik/quolin.qlc"
timeout "$(wait_limit 60)" "$HOME/.local/bin/quolin" 2>"$home/err.txt" || fail "run 4 ended with status $?"
entry="$XDG_DATA_HOME/applications/quolin-dulm.desktop"
grep -q "^Exec=\"$HOME/.local/bin/quolin\" %f\$" "$entry" || fail "run 4: the entry's program"
grep -q "^NoDisplay=" "$entry" && fail "run 4: the first run or forceregisterfiles hid the entry"
echo "installed program passed"
