// The key and value table Config that Firewall.dat and ProgramsRule.dat
// both hold: "create table Config(Key char(30) PRIMARY KEY, Val char(50))".
#pragma once

#include "CString.h"
#include "RetryingDatabase.h"

// The value of the key, an empty text without a row. Throws the engine's failure.
CString QueryConfigValue(CRetryingDatabase &db, LPCTSTR key);
// A key without a row changes nothing. Throws the engine's failure.
void UpdateConfigValue(CRetryingDatabase &db, LPCTSTR key, LPCTSTR value);
