#!/usr/bin/env bash
# Builds the programs and makes both packages in build/packages:
#   tavpatch_VERSION_amd64.deb     the terminal program, its manual page and bash completion
#   tavpatch-VERSION-windows.zip   tavpatch.exe and tavpatch-demo.exe for 64-bit and 32-bit
#                                  Windows, with a README.txt
# Only the programs are built, not the tests; tools/setup.sh installs what the builds need.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset native
cmake --build --preset native --target tavpatch compressed_docs
cmake --preset windows
cmake --build --preset windows --target tavpatch tavpatch-demo i686_programs
cpack --config build/native/CPackConfig.cmake -B build/packages
cpack --config build/windows/CPackConfig.cmake -B build/packages
ls -l build/packages/*.deb build/packages/*.zip
