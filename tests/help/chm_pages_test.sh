#!/usr/bin/env bash
# Every help page that the input method, its configuration program or its
# menus open by name must be in main.chm; so must the home page.
#   chm_pages_test.sh SOURCE_DIR MAIN_CHM
set -euo pipefail
src=$1 chm=$2
[ -s "$chm" ] || { echo "no help file at $chm" >&2; exit 1; }
pages=$(chmls list "$chm" 2>/dev/null | awk '{print $NF}' | sed -n 's|^/\([^/]*\.html\)$|\1|p' | sort -u)
[ -n "$pages" ] || { echo "the help file lists no page" >&2; exit 1; }
# Page names written in the code as u"name.html" (the chm's own names are
# compared as written: the help viewer's lookup is case-insensitive, our
# test is stricter).
opened=$(grep -rhoE 'u"[A-Za-z0-9_]+\.html"' "$src/engine" "$src/host" "$src/config" "$src/ui" "$src/platform" \
           | sed -E 's/^u"(.*)"$/\1/' | sort -u)
missing=0
for page in index.html About.html $opened; do
  if ! grep -qxF "$page" <<<"$pages"; then
    echo "main.chm lacks $page, which the program opens" >&2
    missing=1
  fi
done
# A link inside the help to a page it does not hold is as bad as a missing page.
files=$(chmls list "$chm" 2>/dev/null | awk '{print $NF}' | sed -n 's|^/\([^/:#$][^/]*\)$|\1|p')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for page in $pages; do
  chmls extract "$chm" "/$page" "$work/$page" >/dev/null 2>&1
  for target in $(grep -oE 'href="[^"#:]+"' "$work/$page" | sed -E 's/^href="(.*)"$/\1/' | sort -u); do
    if ! grep -qxF "$target" <<<"$files"; then
      echo "$page links to $target, which main.chm does not hold" >&2
      missing=1
    fi
  done
done
[ $missing -eq 0 ] && echo "main.chm holds every page the program opens: $(echo $pages)"
exit $missing
