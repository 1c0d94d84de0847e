#!/usr/bin/env bash
# Runs a GUI test program under Wine on a private X display in a private prefix.
#   gui-test.sh TEMPLATE_PREFIX WORKDIR PROGRAM [ARGUMENTS...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/private-wine.sh"
template=$1 work=$2
shift 2
start_private_wine "$template" "$work"
wine "$@"
