// One finished connection of ProgramLogs.dat, as the traffic monitor page
// fills it from a closed connection record.
#pragma once

#include <windows.h>

#include "CString.h"

struct LogRecord
{
    DWORD ID = 0;
    DWORD PID = 0;            // the ID of the program's rule, not a process ID
    CString Path;
    BYTE Direction = 0;       // SessionDirection
    WORD LocalPort = 0;
    DWORD RemoteIP = 0;       // first octet in the most significant byte
    CString WebSite;          // the sniffed detail: web site, mail, file name
    WORD RemotePort = 0;
    BYTE Protocol = 0;        // ProtocolKind
    DWORD InCount = 0;        // bytes received
    DWORD OutCount = 0;       // bytes sent
    DWORD StartTime = 0;      // seconds since 1970-01-01 00:00 UTC
    DWORD EndTime = 0;
    BYTE Action = 0;          // the verdict, a RuleAction
};
