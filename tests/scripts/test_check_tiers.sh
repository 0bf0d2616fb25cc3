#!/usr/bin/env bash
# tests/scripts/test_check_tiers.sh ROOT -- scripts/check-tiers passes on the
# tree, and fails on scratch copies that break a rule, naming the file and
# line: an upward include in core/, one in commands/, an NKF block that
# includes the parser, a tool that includes the scene (same tier, against
# the chain), NKF code that includes a reader, a test that includes a
# folder its line in cmake/tiers.txt does not name, and a reader that
# parses NKF files with a parser of its own.
set -uo pipefail
root="$1"
check="$root/scripts/check-tiers"
fail() { echo "FAIL: $*"; exit 1; }

"$check" "$root" || fail "the tree itself breaks a tier rule"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for d in cmake platform core nkf readers commands render tools plot scene export app bench \
  examples tests; do
  [ -d "$root/$d" ] && cp -r "$root/$d" "$scratch/"
done
"$check" "$scratch" || fail "a plain copy of the tree breaks a tier rule"

# Each case: file to change, include to add, what the report must name.
cases=(
  "core/nk_math.cpp|tools/nk_cut_surface.h|core/nk_math.cpp:"
  "commands/nk_macros.h|app/nk_application.h|commands/nk_macros.h:"
  "nkf/nkf_nodes.cpp|nkf/nkf_parser.h|nkf/nkf_nodes.cpp:"
  "tools/nk_cut_plane.cpp|scene/nk_scene.h|tools/nk_cut_plane.cpp:"
  "nkf/nkf_export.cpp|readers/nk_data_source.h|nkf/nkf_export.cpp:"
  "tests/core/test_shell_hooks.cpp|render/nk_camera.h|tests/core/test_shell_hooks.cpp:"
  "readers/nk_output3d_overlays.cpp|nkf/nkf_parser.h|readers/nk_output3d_overlays.cpp:"
)
for c in "${cases[@]}"; do
  IFS='|' read -r file inc want <<<"$c"
  cp "$root/$file" "$scratch/$file.orig"
  printf '#include "%s"\n' "$inc" >>"$scratch/$file"
  line=$(wc -l <"$scratch/$file")
  out=$("$check" "$scratch" 2>&1) && fail "check-tiers accepted $inc in $file"
  grep -q "^$want$line: includes \"$inc\"" <<<"$out" || fail "report does not name $want$line: $out"
  mv "$scratch/$file.orig" "$scratch/$file"
  echo "caught: $(head -1 <<<"$out")"
done
echo "check-tiers passes on the tree and catches each broken rule"
