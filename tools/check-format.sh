#!/usr/bin/env bash
# Checks every tracked C++ file against the repository's clang-format style and lists the
# files that differ. Exit status 1 when any does.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
files="$(git ls-files -- '*.cpp' '*.cc' '*.h' '*.hpp')"
differ=()
while IFS= read -r file; do
  [ -n "$file" ] && [ -f "$file" ] || continue
  clang-format --style=file "$file" | cmp -s - "$file" || differ+=("$file")
done <<<"$files"
if [ "${#differ[@]}" -gt 0 ]; then
  echo "clang-format: these files differ from the style (fix with clang-format -i):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "clang-format: all tracked C++ files are formatted"
