#!/usr/bin/env bash
# Prepares the Wine prefix that every GUI test copies for itself.
#   make-wine-template.sh TEMPLATE_DIR
# Wine's own fonts (Debian package fonts-wine) go into the prefix's Fonts folder, where Wine
# finds them: the dialogs' "MS Sans Serif" is then the raster font Windows has, with its
# widths, rather than a wider substitute that no longer fits the date code fields.
set -euo pipefail
template=$1
fonts=/usr/share/wine/fonts
if [ ! -f "$fonts/sserife.fon" ]; then
  echo "Wine's fonts are missing: install the package fonts-wine" >&2
  exit 1
fi
if [ ! -f "$template/system.reg" ]; then
  rm -rf "$template"
  mkdir -p "$template"
  export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  cp "$fonts"/* "$template/drive_c/windows/Fonts/"
fi
