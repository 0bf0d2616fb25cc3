#!/usr/bin/env bash
# tests/scripts/test_command_reference.sh GENERATOR ROOT FOLDER... --
# docs/commands.md is what commands/nk_commands.tsv and the handlers of the
# program's FOLDERs give, and the check fails, naming the page's line, for a
# table whose description, name or group changed and for a page that lost a
# row. A row whose command id no handler names, or that a handler passes on,
# is marked "no action in this program".
set -uo pipefail
gen="$1"
root="$2"
shift 2
folders=("$@")
tsv="$root/commands/nk_commands.tsv"
page="$root/docs/commands.md"
fail() { echo "FAIL: $*"; exit 1; }

"$gen" --check-reference "$tsv" "$page" "${folders[@]}" ||
  fail "docs/commands.md is not current with the table and the handlers"

# Rows without a handler of their own and rows a handler passes on are
# marked; a row that has one is not.
for row in tovrml2 hideinfodialog 'p2p connect' 'stdout pickinfo' 'nkf visibility'; do
  grep -Eq "^\| \`$row\` \|.*no action in this program \|\$" "$page" ||
    fail "'$row' is not marked as having no action"
done
for row in tovrml 'stdout messages' 'nkf open' showinfodialog; do
  grep -Eq "^\| \`$row\` \|.*no action in this program" "$page" &&
    fail "'$row' is marked as having no action"
done

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
  out="$("$gen" --check-reference "$scratch/changed.tsv" "$page" "${folders[@]}" 2>&1)" &&
    fail "a changed table passed: $expr"
  grep -q "^$page:[0-9]*: the page differs" <<<"$out" || fail "no page line named: $out"
  grep -qF -- "table: " <<<"$out" && grep -qF -- "$want" <<<"$out" ||
    fail "the report of '$expr' does not show '$want': $out"
done

# The handlers are read from their code: a command id named only in a
# comment is no handler, one named in code is, and a declared row is passed on.
mkdir -p "$scratch/handlers/sub"
cat >"$scratch/handlers/sub/handler.cpp" <<'CPP'
// case NK_CID_ADDCUTPLANE: only in a comment
/* NK_CID_ADDVECTOR in a block comment */
// no action in this program: addparticletrace
int Handle(int id)
{
    switch (id) {
    case NK_CID_ADDGEOMETRY:
    case NK_CID_ADDPARTICLETRACE:
    case NK_CID_ADDSCALAR: return 0;
    }
    return 3;
}
CPP
"$gen" --reference "$tsv" "$scratch/scanned.md" "$scratch/handlers" || fail "the scan failed"
for row in addcutplane addvector addparticletrace; do
  grep -Eq "^\| \`$row\` \|.*\| no action in this program \|\$" "$scratch/scanned.md" ||
    fail "scan: '$row' is not marked"
done
for row in addgeometry addscalar; do
  grep -Eq "^\| \`$row\` \|.*no action" "$scratch/scanned.md" && fail "scan: '$row' is marked"
done
"$gen" --reference "$tsv" "$scratch/none.md" "$scratch/missing" 2>/dev/null &&
  fail "a missing folder passed"

# A page that lost its last row; the synopses' '|' stays inside its cell.
head -n -1 "$page" >"$scratch/short.md"
"$gen" --check-reference "$tsv" "$scratch/short.md" "${folders[@]}" 2>/dev/null &&
  fail "a short page passed"
grep -qF '| `cleartextures` | `<texture name> \| all` |' "$page" ||
  fail "a '|' of a synopsis is not kept inside its cell"
echo "command reference current"
