#!/usr/bin/env bash
# The whole test job: set-up, format check, the native, Windows (under Wine) and sanitizer
# builds with their tests, a smoke run of the benchmarks, then a short run of every fuzz
# target. Every step runs even when an earlier one failed (a preset's later steps need its
# earlier ones); the last line sums up with each step's time, and the exit status is non-zero
# on any failure. One step a line below: a new step is one more line.
#
#   TAV_JOBS          parallel build jobs (default: the number of processors)
#   TAV_TEST_JOBS     tests run side by side in a build (default: 4; the Windows GUI tests
#                     spend most of their time waiting on Wine and on real-clock runs)
#   TAV_FUZZ_SECONDS  time for each fuzz target (default: 15; tools/fuzz-long.sh runs long)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${TAV_JOBS:-$(nproc)}"
test_jobs="${TAV_TEST_JOBS:-4}"
fuzz_seconds="${TAV_FUZZ_SECONDS:-15}"
started=$SECONDS

passed=()
failed=()

duration() {  # duration <seconds>: 75 -> 1m15s
  local s=$1
  if [ "$s" -ge 60 ]; then echo "$((s / 60))m$((s % 60))s"; else echo "${s}s"; fi
}

step() {  # step <name> <command>...
  local name="$1" begin=$SECONDS
  shift
  echo
  echo "=== $name"
  if "$@"; then
    passed+=("$name $(duration $((SECONDS - begin)))")
  else
    failed+=("$name $(duration $((SECONDS - begin)))")
    echo "=== $name FAILED"
    return 1
  fi
}

preset() {  # configure, build and test one preset; a failed step skips the rest of it
  local name="$1"
  step "$name: configure" cmake --preset "$name" &&
    step "$name: build" cmake --build --preset "$name" --parallel "$jobs" &&
    step "$name: test" ctest --preset "$name" --parallel "$test_jobs"
}

fuzz_all() {  # every fuzz target the sanitize build made, each for fuzz_seconds
  local target found=0
  for target in build/sanitize/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    found=1
    step "fuzz: $(basename "$target")" tools/fuzz-target.sh "$root/$target" "$fuzz_seconds"
  done
  [ "$found" -eq 1 ] || step "fuzz: targets built" false
}

step "setup" tools/setup.sh || {
  echo "run-tests: FAILED: setup"
  exit 1
}
step "format" tools/check-format.sh
preset native && step "bench: smoke" tools/bench.sh --smoke build/native
preset windows
preset sanitize && fuzz_all

echo
total="$(duration $((SECONDS - started)))"
if [ "${#failed[@]}" -eq 0 ]; then
  printf -v list '%s, ' "${passed[@]}"
  echo "run-tests: PASSED in $total (${#passed[@]} steps: ${list%, })"
  exit 0
fi
printf -v list '%s, ' "${failed[@]}"
echo "run-tests: FAILED in $total (${#failed[@]} of $((${#passed[@]} + ${#failed[@]})) steps): ${list%, }"
exit 1
