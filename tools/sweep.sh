#!/usr/bin/env bash
# The full interruption sweep: every cut point of every path, in every way, on both cores.
# Builds the native preset, then writes build/sweep/summary.csv (the figures per path and way)
# and build/sweep/cases.csv (every case). Extra arguments go to tavpatch-sweep, for example
# --every 10 for a tenth of the cut points. Exit status 1 when a run broke a rule.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target tavpatch-sweep
mkdir -p build/sweep
build/native/sweep/tavpatch-sweep --jobs 2 --summary build/sweep/summary.csv \
  --cases build/sweep/cases.csv --windows "$@"
