# tests/scripts/fresh_home.sh -- sourced by the scripts that run the viewer:
# a temporary home (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME) with the program's
# configuration folder, removed on exit, and its work folder as the current
# one. $home is the folder, $brovik the configuration folder. Every limit
# goes through wait_limit (wait_limit.sh), which scales it.
. "$(dirname "${BASH_SOURCE[0]}")/wait_limit.sh"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
brovik="$home/.config/Brovik"
mkdir -p "$brovik" "$home/work"
cd "$home/work" || exit 1

# Ends the script with its "FAIL:" line and the program's standard error, as
# the scripts write it to $home/err.txt; a script that keeps other output
# defines its own.
fail() { echo "FAIL: $*"; cat "$home/err.txt" 2>/dev/null; exit 1; }

# Runs the command under a time limit of $1 seconds (as wait_limit gives
# it), as timeout(1) does (status 124 when the limit passes). A command still running then has its
# threads' stacks printed first (with gdb, where it is installed), so that a
# run that hung says where.
run_limited() {
  local limit="$1" tenths=0 pid
  shift
  "$@" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$tenths" -ge $((limit * 10)) ]; then
      echo "--- still running after $limit s; its threads:"
      if command -v gdb >/dev/null; then
        gdb -p "$pid" -batch -ex "thread apply all bt 25" 2>/dev/null | grep -E '^(#|Thread)'
      fi
      kill -9 "$pid"
      wait "$pid" 2>/dev/null
      return 124
    fi
    sleep 0.1
    tenths=$((tenths + 1))
  done
  wait "$pid"
}

# Starts an X server of the script's own at the niceness $1 (default 0): a
# bare Xvfb, which resets when its last client leaves, on a display number
# it picks itself; further arguments are options of the server's own
# ("-noreset"). Sets DISPLAY and own_xvfb_pid; the caller ends it (its
# EXIT trap).
start_own_xvfb() {
  local tenths limit niceness="${1:-0}"
  shift $(($# > 0 ? 1 : 0))
  nice -n "$niceness" Xvfb -displayfd 3 -screen 0 1280x1024x24 "$@" 3>"$home/display" >"$home/xvfb.txt" 2>&1 &
  own_xvfb_pid=$!
  limit=$(($(wait_limit 30) * 10))
  for ((tenths = 0; tenths < limit; tenths++)); do
    [ -s "$home/display" ] && break
    kill -0 "$own_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$home/display" ] || fail "Xvfb did not start: $(cat "$home/xvfb.txt")"
  export DISPLAY=":$(head -1 "$home/display")"
}

# Writes a model of one unit hexahedron (parts and nodes as in the tests'
# command files) to $1.
write_unit_hex() {
  cat > "$1" <<'NKF'
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
}

# Writes a BMP of 2 x 2 pixels, 24 bits, to $1: bottom row red, green; top
# row blue, white; rows padded to 4 bytes.
write_rgbw_bmp() {
  printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00' > "$1"
  printf '\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00' >> "$1"
  printf '\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >> "$1"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00' >> "$1"
  printf '\x00\x00\xff\x00\xff\x00\x00\x00\xff\x00\x00\xff\xff\xff\x00\x00' >> "$1"
}
