#!/usr/bin/env bash
# Reads back with the sqlite3 shell the connection log that the traffic
# monitor's end-to-end test left, and compares it with the rows the test saw
# logged: the same rows, each once, in a sound file.
#   check-monitor-log.sh <folder with ProgramLogs.dat and expected.txt>
set -u
folder=$1
database=$folder/ProgramLogs.dat
if [ ! -f "$database" ] || [ ! -f "$folder/expected.txt" ]; then
  echo "no log left by the end-to-end test in $folder"
  exit 1
fi
actual=$(sqlite3 -batch -noheader -list "$database" \
  "select PID, Path, Direction, LocalPort, RemotePort, OutCount, Protocol, Action from ProgramLogs;" 2>&1 | sort)
expected=$(tr -d '\r' <"$folder/expected.txt" | sort)
ids=$(sqlite3 -batch -noheader "$database" "select count(*) = count(distinct ID) from ProgramLogs;")
integrity=$(sqlite3 -batch -noheader "$database" "pragma integrity_check;")
failed=0
if [ "$actual" != "$expected" ]; then
  printf -- '--- expected\n%s\n--- found\n%s\n' "$expected" "$actual"
  failed=1
fi
[ "$ids" = 1 ] || { echo "a row ID is used twice"; failed=1; }
[ "$integrity" = ok ] || { echo "integrity: $integrity"; failed=1; }
[ $failed = 0 ] && echo "connection log: $(wc -l <<<"$actual") rows read back as logged"
exit $failed
