#!/usr/bin/env bash
# Takes the README's pictures of the Windows program (its demonstration on a simulated radio)
# under Wine on a private X display, into docs/screenshots/.
#   tools/screenshots.sh [BUILD_DIR]     BUILD_DIR: a Windows build tree, default build/windows
# The build tree must hold tavpatch-demo.exe and app_screen_tour.exe (ninja app_screen_tour).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
out="$root/docs/screenshots"
convert=/usr/bin/convert
source "$root/tests/app/private-wine.sh"

template="$build/tests/app/wine-template"
"$root/tests/app/make-wine-template.sh" "$template"
work="$build/screenshots-work"
start_private_wine "$template" "$work"
requests="$work/requests"
mkdir -p "$requests" "$out"

export TAV_DEMO="$build/app/tavpatch-demo.exe"
export TAV_SCREEN_DIR="$requests"
# A Wine desktop of the screen's size draws the title bars that a bare X display lacks.
wine explorer /desktop=TAVPatch,1024x768 "$build/tests/app/app_screen_tour.exe" &
tour=$!

while kill -0 "$tour" 2>/dev/null; do
  for request in "$requests"/*.request; do
    [ -e "$request" ] || continue
    name="$(basename "$request" .request)"
    read -r left top right bottom < <(tr -d "\r" <"$request")
    import -window root "$work/screen.png"
    "$convert" "$work/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
      "$out/$name.png"
    echo "$out/$name.png"
    cp "$out/$name.png" "$requests/$name.png"
    rm -f "$request"
  done
  sleep 0.1
done
wait "$tour"
