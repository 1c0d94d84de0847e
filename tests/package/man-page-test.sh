#!/usr/bin/env bash
# The manual page renders without a warning and documents the options that --help lists, no
# more and no fewer.
#   man-page-test.sh PAGE PROGRAM
set -euo pipefail
page=$1 program=$2
status=0

warnings="$(groff -man -ww -z "$page" 2>&1)"
if [ -n "$warnings" ]; then
  echo "groff warns about $page:"
  echo "$warnings"
  status=1
fi

# --help: the lines of its Options part that begin with an option, up to the first two spaces.
from_help="$("$program" --help | sed -n '/^Options:/,/^$/p' | sed -n 's/^  \(-[^ ].*\)$/\1/p' |
  sed 's/  .*//' | grep -oE -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u)"
# The page: the tag line after each .TP of its OPTIONS section.
from_page="$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$page" | sed -n '/^\.TP/{n;p}' |
  sed 's/\\-/-/g' | grep -oE -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u)"

if [ -z "$from_help" ]; then
  echo "no options found in --help"
  exit 1
fi
missing="$(comm -23 <(echo "$from_help") <(echo "$from_page"))"
extra="$(comm -13 <(echo "$from_help") <(echo "$from_page"))"
if [ -n "$missing" ]; then
  echo "in --help but not in the manual page:" $missing
  status=1
fi
if [ -n "$extra" ]; then
  echo "in the manual page but not in --help:" $extra
  status=1
fi
exit $status
