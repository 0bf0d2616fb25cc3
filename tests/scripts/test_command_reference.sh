#!/usr/bin/env bash
# tests/scripts/test_command_reference.sh GENERATOR ROOT -- docs/commands.md
# is what commands/nk_commands.tsv gives, and the check fails, naming the
# page's line, for a table whose description, name or group changed and for
# a page that lost a row.
set -uo pipefail
gen="$1"
root="$2"
tsv="$root/commands/nk_commands.tsv"
page="$root/docs/commands.md"
fail() { echo "FAIL: $*"; exit 1; }

"$gen" --check-reference "$tsv" "$page" || fail "docs/commands.md is not current with the table"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Each case: a sed expression that changes a copy of the table, and the text
# the report's table line must show.
cases=(
  's/^1\taddcutplane\t\(.*\)\tAdd a cutting plane copying/1\taddcutplane\t\1\tAdd a plane copying/|Add a plane copying'
  's/^\([0-9]*\)\tcoordinates\t/\1\tcoordinatez\t/|`coordinatez`'
  's/^\(1\taddcutplane\t0\t\)1/\10/|`addgeometry`'
)
for c in "${cases[@]}"; do
  expr="${c%%|*}"
  want="${c#*|}"
  sed "$expr" "$tsv" >"$scratch/changed.tsv"
  cmp -s "$tsv" "$scratch/changed.tsv" && fail "case '$expr' changed nothing"
  out="$("$gen" --check-reference "$scratch/changed.tsv" "$page" 2>&1)" &&
    fail "a changed table passed: $expr"
  grep -q "^$page:[0-9]*: the page differs" <<<"$out" || fail "no page line named: $out"
  grep -qF -- "table: " <<<"$out" && grep -qF -- "$want" <<<"$out" ||
    fail "the report of '$expr' does not show '$want': $out"
done

# A page that lost its last row; the synopses' '|' stays inside its cell.
head -n -1 "$page" >"$scratch/short.md"
"$gen" --check-reference "$tsv" "$scratch/short.md" 2>/dev/null && fail "a short page passed"
grep -qF '| `cleartextures` | `<texture name> \| all` |' "$page" ||
  fail "a '|' of a synopsis is not kept inside its cell"
echo "command reference current"
