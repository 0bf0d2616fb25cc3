#!/usr/bin/env bash
# tests/scripts/test_gl_pairs.sh ROOT -- check_gl_pairs.py passes on the
# tree, and on scratch sources it fails exactly where a function's GL
# pushes and pops differ, naming the function: a helper that pushes for its
# caller, a caller that pops for its helper, a guard whose destructor misses
# its pop, an early return that pops twice. Pushes in comments and strings,
# balanced guards and lambdas inside a function do not count against it.
set -uo pipefail
root="$1"
check="$root/tests/scripts/check_gl_pairs.py"
fail() { echo "FAIL: $*"; exit 1; }

python3 "$check" "$root" || fail "the tree itself has unpaired GL pushes"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/render"

# Each case: expected exit status | what the report must name (empty: no
# report) | the source.
cases=(
  "1|Begin pushes and pops differ (attributes +1)|void Begin() { glPushAttrib(GL_ENABLE_BIT); }"
  "1|Draw pushes and pops differ (matrix -1)|void Draw() { Push(); glPopMatrix(); }"
  "1|Frame::Frame pushes and pops differ (client attributes +1)|class Frame { Frame() { glPushClientAttrib(1); } ~Frame() {} };"
  "1|Draw pushes and pops differ (attributes -1)|bool Draw(bool b) { glPushAttrib(1); if (b) { glPopAttrib(); return false; } glPopAttrib(); return true; }"
  "0||class Scope { public: Scope(); ~Scope(); };
Scope::Scope() { glPushMatrix(); }
Scope::~Scope() { glPopMatrix(); }"
  "0||// glPushMatrix() in a comment
void Draw() { const char *p = \"glPushAttrib(\"; auto f = [] { glPushMatrix(); }; f(); glPopMatrix(); }"
  "0||namespace { struct S { int a; }; } void Draw(int n) { for (int i = 0; i < n; i++) { glPushMatrix(); glPopMatrix(); } }"
)
for c in "${cases[@]}"; do
  IFS='|' read -r want name source <<<"$c"
  source="${c#*|*|}"
  printf '%s\n' "$source" >"$scratch/render/case.cpp"
  out="$(python3 "$check" "$scratch")"
  got=$?
  [ "$got" = "$want" ] || fail "status $got (want $want) for: $source"$'\n'"$out"
  if [ -n "$name" ]; then
    grep -qF "render/case.cpp:1: $name" <<<"$out" || fail "no '$name' in: $out"
  else
    [ -z "$out" ] || fail "report for a balanced source: $out"
  fi
done
echo "GL pairs check: ok"
