#!/usr/bin/env bash
# Fails when a program imports a DLL that is not part of Windows itself.
#   check-imports.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|advapi32|winmm|comctl32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for program in "$@"; do
  imports="$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')"
  if [ -z "$imports" ]; then
    echo "$(basename "$program"): no import table found"
    status=1
  fi
  while read -r dll; do
    if ! echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$allowed"; then
      echo "$(basename "$program") imports $dll, which Windows does not provide"
      status=1
    fi
  done <<<"$imports"
done
exit $status
