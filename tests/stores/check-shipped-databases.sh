#!/usr/bin/env bash
# Checks with the sqlite3 shell that the shipped rule databases hold exactly
# their tables and first rows.
#   check-shipped-databases.sh <program folder>
set -u
folder=$1
failed=0

# expect <file> <label> <sql> <expected output>
expect() {
  local actual
  actual=$(sqlite3 -batch -noheader -list "$folder/$1" "$3" 2>&1)
  if [ "$actual" != "$4" ]; then
    printf '%s, %s:\n--- expected\n%s\n--- found\n%s\n' "$1" "$2" "$4" "$actual"
    failed=1
  fi
}

expect Firewall.dat tables "select name from sqlite_master order by name;" "$(cat <<'END'
BnetZone
Config
TnetZone
sqlite_autoindex_BnetZone_1
sqlite_autoindex_BnetZone_2
sqlite_autoindex_Config_1
sqlite_autoindex_TnetZone_1
sqlite_autoindex_TnetZone_2
sqlite_autoindex_system_1
system
END
)"
expect Firewall.dat schema "select sql from sqlite_master where type='table' order by name;" "$(cat <<'END'
CREATE TABLE BnetZone(ID long PRIMARY KEY,Name char(50) UNIQUE,Type byte,IP1 int,IP2 int,Site char(256) DEFAULT '')
CREATE TABLE Config(Key char(30) PRIMARY KEY, Val char(50))
CREATE TABLE TnetZone(ID long PRIMARY KEY,Name char(50) UNIQUE,Type byte,IP1 int,IP2 int,Site char(256) DEFAULT '')
CREATE TABLE system(tablename char(50) PRIMARY KEY, maxID long  DEFAULT 0)
END
)"
expect Firewall.dat Config "select Key, Val from Config order by rowid;" "$(cat <<'END'
WorkMode|1
InetLevel|1
TnetLevel|1
END
)"
expect Firewall.dat system "select tablename, maxID from system order by rowid;" "$(cat <<'END'
TnetZone|0
BnetZone|0
END
)"
expect Firewall.dat zones "select (select count(*) from TnetZone) + (select count(*) from BnetZone);" "0"

expect ProgramsRule.dat tables "select name from sqlite_master where type='table' order by name;" "$(cat <<'END'
Config
ProgramsRule
Times
system
END
)"
expect ProgramsRule.dat schema "select sql from sqlite_master where type='table' order by name;" "$(cat <<'END'
CREATE TABLE Config(Key char(30) PRIMARY KEY, Val char(50))
CREATE TABLE ProgramsRule(ID long PRIMARY KEY,Path char(256) UNIQUE,RecordedTime long DEFAULT 0,TotalOutCount long DEFAULT 0,TotalInCount long DEFAULT 0,InetAction byte DEFAULT 0,TnetAction byte DEFAULT 0,EmailAction byte DEFAULT 1,LockKey byte DEFAULT 0,InetAdvAction byte DEFAULT 2,InetTcpAccess byte DEFAULT 1,InetTcpServer byte DEFAULT 1,InetUdpAccess byte DEFAULT 1,InetUdpServer byte DEFAULT 1,InetPortType byte DEFAULT 0,InetPortList char(256) DEFAULT '',InetTimeID byte DEFAULT 1,InetMemo char(256) DEFAULT '',TnetAdvAction byte DEFAULT 2,TnetTcpAccess byte DEFAULT 1,TnetTcpServer byte DEFAULT 1,TnetUdpAccess byte DEFAULT 1,TnetUdpServer byte DEFAULT 1,TnetPortType byte DEFAULT 0,TnetPortList char(256) DEFAULT '',TnetTimeID byte DEFAULT 1,TnetMemo char(256) DEFAULT '',Memo char(256) DEFAULT '')
CREATE TABLE Times(ID long PRIMARY KEY,Description char(100) UNIQUE,WeekDay byte DEFAULT 255,StartTime long DEFAULT 0,EndTime long DEFAULT 0,Memo char(256) DEFAULT '')
CREATE TABLE system(tablename char(50) PRIMARY KEY, maxID long  DEFAULT 0)
END
)"
expect ProgramsRule.dat Config "select Key, Val from Config;" "ProgramLevel|1"
expect ProgramsRule.dat system "select tablename, maxID from system order by rowid;" "$(cat <<'END'
ProgramsRule|0
Times|7
END
)"
expect ProgramsRule.dat rules "select count(*) from ProgramsRule;" "0"
expect ProgramsRule.dat Times "select ID, Description, WeekDay, StartTime, EndTime, Memo from Times order by ID;" "$(cat <<'END'
1|Every day|254|0|0|
2|Working days|124|0|0|
3|Weekend|130|0|0|
4|Custom schedule 4|254|0|0|
5|Custom schedule 5|254|0|0|
6|Custom schedule 6|254|0|0|
7|Custom schedule 7|254|0|0|
END
)"

[ $failed = 0 ] && echo "shipped databases: tables and rows as expected"
exit $failed
