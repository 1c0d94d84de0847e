#!/usr/bin/env bash
# Runs a GUI test program under Wine with COM1 mapped to a pseudo-terminal whose other end is
# a scripted radio (control_head_peer.py). The test fails when the program fails or when the
# peer did not see the exchange it expects.
#   serial-test.sh TEMPLATE_PREFIX WORKDIR PROGRAM [ARGUMENTS...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/private-wine.sh"
template=$1 work=$2
shift 2
start_private_wine "$template" "$work"

python3 "$here/control_head_peer.py" "$work/slave" "$work/peer.log" &
peer=$!
for i in $(seq 1 100); do
  [ -s "$work/slave" ] && break
  sleep 0.1
done
slave="$(cat "$work/slave")"

# Wine names its COM ports from this value each time its server starts.
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$slave" /f >/dev/null
wineserver -k || true
wineserver -w || true

status=0
wine "$@" || status=$?
peer_status=0
wait "$peer" || peer_status=$?
cat "$work/peer.log"
[ "$status" -eq 0 ] || exit "$status"
exit "$peer_status"
