#!/usr/bin/env bash
# Reads the built help file back with a CHM reader and finds in it every
# topic page that the programs' help calls name ("::/<page>.htm" in the
# sources), each with the title of its source page. The help viewer under
# the tests' Wine cannot show pages, so this is what proves the file whole.
#   check-help-topics.sh <help file> <folder of the help pages> <source folder>...
set -u
help=$1
pages=$2
shift 2
[ -f "$help" ] || { echo "missing help file $help"; exit 1; }
command -v extract_chmLib >/dev/null || { echo "extract_chmLib is missing (libchm-bin)"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
extract_chmLib "$help" "$out" >/dev/null 2>&1
title_of() { tr '\n\r' '  ' <"$1" | sed -n 's:.*<[Tt][Ii][Tt][Ll][Ee]>\([^<]*\)</[Tt][Ii][Tt][Ll][Ee]>.*:\1:p'; }
topics=$(grep -rhoE '"::/[^"]+\.htm"' "$@" | tr -d '"' | sed 's#^::/##' | sort -u)
[ -n "$topics" ] || { echo "no help calls found in $*"; exit 1; }
failed=0
for topic in $topics; do
  page="$out/$topic"
  if [ ! -f "$page" ]; then
    echo "the help file lacks the topic $topic"
    failed=1
    continue
  fi
  want=$(title_of "$pages/$topic")
  got=$(title_of "$page")
  if [ -z "$got" ] || [ "$got" != "$want" ]; then
    echo "the topic $topic has the title \"$got\", not \"$want\""
    failed=1
  else
    echo "found $topic: $got"
  fi
done
exit $failed
