#!/usr/bin/env bash
# Runs the log store benchmark under Wine, then reads the file of the writer
# it killed with the sqlite3 shell: every row the writer was told was stored
# must be there, and the file must be sound. A measuring script, not a test.
#   tests/stores/log-store-benchmark.sh <build folder>
set -euo pipefail
build=$(cd "${1:?usage: $0 <build folder>}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
output=$("$build/wine-run" "$build/bin/LogStoreBenchmark.exe" "Z:${work//\//\\}\\" | tr -d "\r")
echo "$output"
committed=$(sed -n 's/^killed writer file: .* committed \([0-9]*\)$/\1/p' <<<"$output")
database=$work/ProgramLogs.dat
read_back=$(sqlite3 "$database" "select count(*) from ProgramLogs where ID<=$committed;")
integrity=$(sqlite3 "$database" "pragma integrity_check;")
echo "sqlite3 shell: $read_back of $committed rows read back, integrity $integrity"
[ "$read_back" = "$committed" ] && [ "$integrity" = ok ]
