#!/usr/bin/env bash
# Lays a build into a program folder twice, as two starts of scripts/run
# do, with the user's work between them: a rule, a zone entry and the
# console password in the databases, an edited Language.ini and an old
# QFW.exe. The second lay must bring back the build's programs and texts
# and keep every byte of the user's data. Runs on the build machine with
# the sqlite3 shell.
#   check-program-folder.sh <source dir> <build dir>
set -u
top=$1 build=$2
source "$top/scripts/lib/program-folder.sh"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failed=0

fail() {
  echo "$*"
  failed=1
}

# expect <file> <sql> <expected output>
expect() {
  local actual
  actual=$(sqlite3 -batch -noheader -list "$folder/$1" "$2" 2>&1)
  [ "$actual" = "$3" ] || fail "$1, $2: expected '$3', found '$actual'"
}

same() {
  cmp -s "$1" "$2" || fail "$2 is not the build's $(basename "$1")"
}

qfw_lay_program_folder "$build" "$folder"
for file in QFW.exe QFW.DLL Update.exe; do
  same "$build/bin/$file" "$folder/$file"
done
for file in Language.ini QfwUpdate.ini Ferrowind.chm Firewall.dat ProgramsRule.dat; do
  same "$build/program/$file" "$folder/$file"
done
[ -d "$folder/Skins" ] && [ -d "$folder/sound" ] || fail "the skins and sounds were not laid in"
[ -e "$folder/TcpipBase.dll" ] && fail "the base provider belongs in the system folder, not the program folder"

# What the user's use of the console leaves in the folder.
sqlite3 "$folder/ProgramsRule.dat" \
  "insert into ProgramsRule(ID, Path, InetAction, TnetAction) values(1, 'C:\\Tools\\Alpha\\wsclient.exe', 1, 2);
   update system set maxID = 1 where tablename = 'ProgramsRule';"
sqlite3 "$folder/Firewall.dat" \
  "insert into TnetZone(ID, Name, Type, IP1, IP2) values(1, 'Office', 1, 167772160, 184549375);"
sqlite3 "$folder/Config.dat" \
  "create table UI_Config(Key char(30) PRIMARY KEY, Val char(50)); insert into UI_Config values('WP', 'open sesame');"
sqlite3 "$folder/ProgramLogs.dat" "create table ProgramLogs(ID long PRIMARY KEY); insert into ProgramLogs values(7);"
echo "a line of the user's" >"$folder/sqlite_err.log"
echo "[APP]" >"$folder/Language.ini"
echo "an older console" >"$folder/QFW.exe"
kept=$(mktemp -d)
trap 'rm -rf "$folder" "$kept"' EXIT
for file in "${qfw_user_data_files[@]}"; do
  cp "$folder/$file" "$kept/" 2>/dev/null
done

qfw_lay_program_folder "$build" "$folder"
same "$build/bin/QFW.exe" "$folder/QFW.exe"
same "$build/program/Language.ini" "$folder/Language.ini"
for file in Config.dat Firewall.dat ProgramsRule.dat ProgramLogs.dat sqlite_err.log; do
  cmp -s "$kept/$file" "$folder/$file" || fail "$file was overwritten"
done
expect ProgramsRule.dat "select ID, Path, InetAction, TnetAction from ProgramsRule;" '1|C:\Tools\Alpha\wsclient.exe|1|2'
expect Firewall.dat "select Name, IP1, IP2 from TnetZone;" 'Office|167772160|184549375'
expect Config.dat "select Val from UI_Config where Key = 'WP';" 'open sesame'

[ $failed = 0 ] && echo "program folder laid twice: the build's programs and texts, the user's data kept"
exit $failed
