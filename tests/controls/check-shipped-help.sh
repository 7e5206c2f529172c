#!/usr/bin/env bash
# Checks that the shipped help file holds every page of the help sources.
#   check-shipped-help.sh <help file> <folder of the help pages>
set -u
help=$1
pages=$2
[ -f "$help" ] || { echo "missing help file $help"; exit 1; }
listing=$(chmls list "$help" 2>&1) || { echo "chmls cannot read $help"; exit 1; }
failed=0
count=0
for page in "$pages"/*.htm; do
  name=/$(basename "$page")
  count=$((count + 1))
  if ! grep -qF " $name" <<<"$listing"; then
    echo "the help file lacks $name"
    failed=1
  fi
done
[ "$count" -gt 0 ] || { echo "no help pages in $pages"; failed=1; }
exit $failed
