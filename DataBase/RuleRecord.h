// One program rule of ProgramsRule.dat: the program's path and its actions
// (RuleAction values: 0 pass, 1 ask, 2 deny) for the Internet zone, the
// trusted zone and mail, and the lock key that the locked work mode reads.
#pragma once

#include <windows.h>

#include "CString.h"

struct RuleRecord
{
    DWORD ID = 0;
    CString Path;
    DWORD RecordedTime = 0;   // not filled by the store's reads
    DWORD TotalOutCount = 0;  // not filled by the store's reads
    DWORD TotalInCount = 0;   // not filled by the store's reads
    BYTE InetAction = 0;
    BYTE TnetAction = 0;
    BYTE EmailAction = 0;
    BYTE LockKey = 0;
    CString Memo;             // not filled by the store's reads
};
