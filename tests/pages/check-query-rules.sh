#!/usr/bin/env bash
# Reads with the sqlite3 shell the rules that the console stored while the
# query tests answered its pop-ups, and compares each program folder's rows
# with the ones its test expects: path, internet, trusted and mail action,
# lock key.
#   check-query-rules.sh <folder of <test>.dat and <test>.expected>
set -u
folder=$1
failed=0 checked=0
for expected in "$folder"/*.expected; do
  [ -e "$expected" ] || break
  database=${expected%.expected}.dat
  actual=$(sqlite3 -batch -noheader -list "$database" \
    "select Path, InetAction, TnetAction, EmailAction, LockKey from ProgramsRule order by Path;" 2>&1)
  if [ "$actual" != "$(cat "$expected")" ]; then
    printf '%s:\n--- expected\n%s\n--- found\n%s\n' "$(basename "$database")" "$(cat "$expected")" "$actual"
    failed=1
  fi
  checked=$((checked + 1))
done
if [ $checked = 0 ]; then
  echo "no stored rules of the query tests in $folder"
  exit 1
fi
[ $failed = 0 ] && echo "stored rules of $checked query tests: as expected"
exit $failed
