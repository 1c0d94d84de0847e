#!/usr/bin/env bash
# The zip of the Windows programs as a technician gets it: made by CPack from the build tree,
# both programs in both widths, each folder holding the width its name says, and a README.txt
# with Windows line ends. Unpacked into WORK_DIR/unpacked for the tests that start the programs.
#   zip-test.sh BUILD_DIR OBJDUMP WORK_DIR
set -euo pipefail
build=$1 objdump=$2 work=$3
rm -rf "$work"
mkdir -p "$work/unpacked"
if ! cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
zips=("$work"/out/tavpatch-*-windows.zip)
if [ "${#zips[@]}" -ne 1 ] || [ ! -f "${zips[0]}" ]; then
  echo "expected one tavpatch-*-windows.zip, found: ${zips[*]}"
  exit 1
fi
zip=${zips[0]}
top="$(basename "$zip" .zip)"

status=0
fail() {
  echo "$*"
  status=1
}

contents="$(cmake -E tar tf "$zip" | grep -v '/$' | sort)"
expected="$(printf '%s\n' README.txt 64-bit/tavpatch.exe 64-bit/tavpatch-demo.exe \
  32-bit/tavpatch.exe 32-bit/tavpatch-demo.exe | sed "s|^|$top/|" | sort)"
[ "$contents" = "$expected" ] || fail "the zip holds:" $contents "; expected:" $expected

(cd "$work/unpacked" && cmake -E tar xf "$zip")
unpacked="$work/unpacked/$top"

# objdump names the format: pei-x86-64 for 64-bit programs, pei-i386 for 32-bit ones.
for width in 64-bit:pei-x86-64 32-bit:pei-i386; do
  folder=${width%%:*} format=${width#*:}
  for program in tavpatch.exe tavpatch-demo.exe; do
    [ -f "$unpacked/$folder/$program" ] || continue
    "$objdump" -f "$unpacked/$folder/$program" | grep -q "file format $format\$" ||
      fail "$folder/$program is not a $format program"
  done
done

readme="$unpacked/README.txt"
if [ -f "$readme" ]; then
  lines="$(wc -l <"$readme")"
  crlf="$(grep -c $'\r$' "$readme" || true)"
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] ||
    fail "README.txt: $crlf of $lines lines end in CR LF"
  if grep -q '@[A-Z_]*@' "$readme"; then fail "README.txt has an unfilled @VARIABLE@"; fi
fi
exit $status
