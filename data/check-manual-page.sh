#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps the manual page and `pelatto --help` from drifting apart: the options
# (short and long) and the keys that the help lists must be exactly those the
# page's OPTIONS and KEYS sections describe. How the page renders is lintian's
# part (scripts/test.sh).
#
# Usage: check-manual-page.sh PROGRAM MANUAL-PAGE
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PROGRAM MANUAL-PAGE" >&2
  exit 2
fi
program=$1 page=$2

help=$("$program" --help) || { echo "FAIL: $program --help" >&2; exit 1; }

# The help: an option line starts with a dash; its names end where two
# blanks open the description. The keys come one a line under their heading.
help_options=$(grep -E '^ +-' <<<"$help" | sed -E 's/   +.*//' |
  grep -oE -- '--?[A-Za-z][A-Za-z0-9-]*' | sort -u)
help_keys=$(sed -n '/^Keys/,/^$/p' <<<"$help" | grep -E '^ +[^ ]' | awk '{print $1}' | sort -u)

# The page: the tag line under each .TP of a section, with groff's escaped
# hyphens made plain.
tags() { # tags SECTION
  awk -v section="$1" '
    /^\.SH/ { inside = ($2 == section); next }
    inside && /^\.TP/ { tag = 1; next }
    inside && tag { print; tag = 0 }
  ' "$page" | sed -e 's/\\-/-/g' -e 's/"//g'
}
page_options=$(tags OPTIONS | grep -oE -- '(^| )--?[A-Za-z][A-Za-z0-9-]*' | tr -d ' ' | sort -u)
page_keys=$(tags KEYS | sed -E 's/^\.[A-Z]+ +//' | awk '{print $1}' | sort -u)

failures=0
compare() { # compare WHAT HELP-LIST PAGE-LIST
  local missing extra
  missing=$(comm -23 <(echo "$2") <(echo "$3") | tr '\n' ' ')
  extra=$(comm -13 <(echo "$2") <(echo "$3") | tr '\n' ' ')
  if [ -z "$2" ]; then
    echo "FAIL: found no $1 in the help" >&2
    failures=$((failures + 1))
  fi
  if [ -n "$missing" ]; then
    echo "FAIL: $1 in --help but not in the manual page: $missing" >&2
    failures=$((failures + 1))
  fi
  if [ -n "$extra" ]; then
    echo "FAIL: $1 in the manual page but not in --help: $extra" >&2
    failures=$((failures + 1))
  fi
}
compare options "$help_options" "$page_options"
compare keys "$help_keys" "$page_keys"

[ "$failures" -eq 0 ] && echo "manual page: $(wc -w <<<"$help_options") options and $(wc -w <<<"$help_keys") keys, as in --help"
[ "$failures" -eq 0 ]
