#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time from its seed corpus, keeping what it finds in
# the sanitize build tree (the corpus it grows, and any crashing input).
#   fuzz-target.sh TARGET SECONDS
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target=$1 seconds=$2
name="$(basename "$target")"
seeds="$root/fuzz/corpus/${name#fuzz_}"
work="$root/build/sanitize/fuzz-corpus/$name"
artifacts="$root/build/sanitize/fuzz-artifacts/$name/"
mkdir -p "$work" "$artifacts"
corpora=("$work")
[ -d "$seeds" ] && corpora+=("$seeds")
exec "$target" -max_total_time="$seconds" -artifact_prefix="$artifacts" "${corpora[@]}"
