#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, quietly.
#   wine-run.sh PROGRAM [ARGUMENTS...]
#   wine-run.sh --prepare    only creates the prefix (before tests share it side by side)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
[ "${1:-}" = "--prepare" ] && exit 0
exec wine "$@"
