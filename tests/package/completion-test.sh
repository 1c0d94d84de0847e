#!/usr/bin/env bash
# The bash completion offers the options, the simulated radio's scenarios, the COM names and
# device paths, and file names where a file is asked for.
#   completion-test.sh COMPLETION PROGRAM WORK_DIR
set -uo pipefail
completion=$1 program=$2 work=$3
# shellcheck source=/dev/null
source "$completion"
rm -rf "$work"
mkdir -p "$work/dev"
touch "$work/dev/ttyUSB0" "$work/dev/ttyUSB1" "$work/dev/other" "$work/trace.txt"

status=0
# expect "WORDS TYPED" "EXPECTED COMPLETIONS": the last word is the one being completed, split
# at "=" as bash splits it.
expect() {
  read -r -a COMP_WORDS <<<"$1"
  [[ "$1" == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]="$program"
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _tavpatch
  local got
  got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)"
  if [ "$got" != "$2" ]; then
    echo "completing '$1': got '$got', expected '$2'"
    status=1
  fi
}

expect "tavpatch --list-" "--list-ports --list-scenarios"
expect "tavpatch --check --re" "--repeat"
expect "tavpatch --sim" "--simulate --simulate="
expect "tavpatch --simulate = co" "control-only core-only"
expect "tavpatch --simulate = st" "stops-answering"
expect "tavpatch --simulate =" "$("$program" --list-scenarios | awk '{print $1}' | sort | xargs)"
expect "tavpatch --port CO" "COM1 COM2 COM3 COM4"
expect "tavpatch --port = COM" "COM1 COM2 COM3 COM4"
expect "tavpatch --port $work/dev/tty" "$work/dev/ttyUSB0 $work/dev/ttyUSB1"
expect "tavpatch --trace $work/tr" "$work/trace.txt"
expect "tavpatch --port COM2 --fa" "--fast"
exit $status
