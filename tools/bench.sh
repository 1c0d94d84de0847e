#!/usr/bin/env bash
# The benchmarks, measured in the Release build (preset bench, build/bench):
#   tools/bench.sh                a full measurement of each: TAV_BENCH_RUNS real-clock runs
#                                 of a whole patch (default 3, about 35 s each) against the
#                                 floor, the same run behind a USB adapter with a 16 ms and a
#                                 1 ms latency timer (simulated time), the simulated run's
#                                 speed, and S-record loading beside srec_cat
#   tools/bench.sh --smoke DIR    a quick run of each from an existing build tree, to show
#                                 that they still run (the test command's step)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

if [ "${1:-}" = "--smoke" ]; then
  dir="${2:?usage: bench.sh --smoke BUILD_DIR}/bench"
  "$dir/bench_floor" --smoke &&
    "$dir/bench_patch_run" --benchmark_min_time=0.01 &&
    "$dir/bench_s19_load" --benchmark_min_time=0.01
  exit
fi

runs="${TAV_BENCH_RUNS:-3}"
cmake --preset bench && cmake --build --preset bench || exit 1
dir=build/bench/bench
echo "=== $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
"$dir/bench_floor" --runs "$runs" &&
  "$dir/bench_floor" --smoke --adapter 16 &&
  "$dir/bench_floor" --smoke --adapter 1 &&
  "$dir/bench_patch_run" &&
  "$dir/bench_s19_load"
