#!/usr/bin/env bash
# The long fuzz run, apart from the test command: builds the sanitize preset and gives every
# fuzz target TAV_FUZZ_SECONDS (default 600) in turn. The corpus each grows is kept in
# build/sanitize/fuzz-corpus/ and carries over into the test command's short runs.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${TAV_FUZZ_SECONDS:-600}"
cmake --preset sanitize && cmake --build --preset sanitize || exit 1
status=0
for target in build/sanitize/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  echo "=== $(basename "$target") for ${seconds} s"
  tools/fuzz-target.sh "$root/$target" "$seconds" || status=1
done
exit "$status"
