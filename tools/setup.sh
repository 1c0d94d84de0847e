#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing both programs.
# Idempotent: packages already present are not installed again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build git python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick tmux
  dpkg-dev groff-base bash-completion
  srecord
)
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
# The 32-bit Windows programs run under Wine's 32-bit half, which Debian ships for i386.
update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
  update=1
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ] || [ "$update" -eq 1 ]; then
  $sudo_cmd apt-get update -qq
fi
if [ "${#missing[@]}" -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
