# Sourced by the GUI test scripts: a private Wine prefix copied from a prepared template, and
# a private X display, both removed again when the script exits.
#   start_private_wine TEMPLATE WORKDIR

start_private_wine() {
  local template=$1 work=$2
  rm -rf "$work"
  mkdir -p "$work"
  # The prefix's DLLs are shared with the template through hard links; the files Wine writes
  # (the registry hives, the .ini files) are copies of their own.
  cp -al "$template" "$work/prefix"
  local f
  for f in "$work"/prefix/*.reg "$work"/prefix/drive_c/windows/*.ini; do
    [ -f "$f" ] && cp --remove-destination "$template/${f#"$work"/prefix/}" "$f"
  done
  export WINEPREFIX="$work/prefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="

  # Xvfb picks a free display number and writes it to the descriptor it is given.
  local display_file="$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$work/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$display_file")"
  trap stop_private_wine EXIT
}

stop_private_wine() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "${WINEPREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
}
