#!/usr/bin/env bash
# The Debian package as a technician's machine gets it: made by CPack from the build tree, its
# control data and contents, and the program unpacked from it into a scratch root.
#   deb-test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
debs=("$work"/out/tavpatch_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "expected one tavpatch_*.deb, found: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}

status=0
fail() {
  echo "$*"
  status=1
}

# The libraries the program links against are the package's dependencies.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libgcc-s1; do
  [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library: $depends"
done

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for path in usr/bin/tavpatch usr/share/man/man1/tavpatch.1.gz \
  usr/share/bash-completion/completions/tavpatch usr/share/doc/tavpatch/copyright \
  usr/share/doc/tavpatch/changelog.gz usr/share/doc/tavpatch/README.md; do
  grep -qx "./$path" <<<"$contents" || fail "the package lacks /$path"
done

root="$work/root"
dpkg -x "$deb" "$root"
program="$root/usr/bin/tavpatch"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" TAVPATCH_PORT_FILE="$work/port"

version="$("$program" --version)"
[ "$version" = "tavpatch $(dpkg-deb -f "$deb" Version)" ] ||
  fail "--version says '$version', the package is $(dpkg-deb -f "$deb" Version)"

if output="$("$program" --simulate --fast </dev/null 2>&1)"; then
  grep -q "Flash Write complete." <<<"$output" || fail "--simulate --fast did not complete: $output"
else
  fail "--simulate --fast ended with status $?: $output"
fi

warnings="$(zcat "$root/usr/share/man/man1/tavpatch.1.gz" | groff -man -ww -z 2>&1)"
[ -z "$warnings" ] || fail "the installed manual page does not render cleanly: $warnings"
exit $status
