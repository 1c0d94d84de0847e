#!/usr/bin/env bash
# The whole test job: set-up, format check, the native, Windows (under Wine) and sanitizer
# builds with their tests, then a bounded run of every fuzz target. Every step runs even when
# an earlier one failed; the last line sums up, and the exit status is non-zero on any failure.
#
#   TAV_JOBS          parallel build jobs (default: the number of processors)
#   TAV_FUZZ_SECONDS  time for each fuzz target (default: 60)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${TAV_JOBS:-$(nproc)}"
fuzz_seconds="${TAV_FUZZ_SECONDS:-60}"

passed=()
failed=()

step() {  # step <name> <command>...
  local name="$1"
  shift
  echo
  echo "=== $name"
  if "$@"; then
    passed+=("$name")
  else
    failed+=("$name")
    echo "=== $name FAILED"
    return 1
  fi
}

preset() {  # configure, build and test one preset; a failed step skips the rest of it
  local name="$1"
  step "$name: configure" cmake --preset "$name" &&
    step "$name: build" cmake --build --preset "$name" --parallel "$jobs" &&
    step "$name: test" ctest --preset "$name"
}

fuzz() {  # fuzz <target>: runs it from its seed corpus, keeping what it finds in the build tree
  local target="$1" name
  name="$(basename "$target")"
  local seeds="$root/fuzz/corpus/${name#fuzz_}"
  local work="$root/build/sanitize/fuzz-corpus/$name"
  local artifacts="$root/build/sanitize/fuzz-artifacts/$name/"
  mkdir -p "$work" "$artifacts"
  local corpora=("$work")
  [ -d "$seeds" ] && corpora+=("$seeds")
  "$target" -max_total_time="$fuzz_seconds" -artifact_prefix="$artifacts" "${corpora[@]}"
}

step "setup" tools/setup.sh || {
  echo "run-tests: FAILED: setup"
  exit 1
}
step "format" tools/check-format.sh
preset native
preset windows
if preset sanitize; then
  found=0
  for target in build/sanitize/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    found=1
    step "fuzz: $(basename "$target")" fuzz "$root/$target"
  done
  [ "$found" -eq 1 ] || step "fuzz: targets built" false
fi

echo
if [ "${#failed[@]}" -eq 0 ]; then
  echo "run-tests: PASSED (${#passed[@]} steps: ${passed[*]})"
  exit 0
fi
printf -v list '%s, ' "${failed[@]}"
echo "run-tests: FAILED (${#failed[@]} of $((${#passed[@]} + ${#failed[@]})) steps): ${list%, }"
exit 1
