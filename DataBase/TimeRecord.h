// One time schedule of ProgramsRule.dat. WeekDay holds day d of the week
// (0 Sunday to 6 Saturday) in bit 0x80 >> d; the lowest bit stands for no
// day. StartTime and EndTime are seconds since 1970-01-01 00:00 UTC, of
// which only the local time of day counts; equal values mean the whole day.
#pragma once

#include <windows.h>

#include "CString.h"
#include "CTime.h"

struct TimeRecord
{
    DWORD ID = 0;
    CString Description;
    BYTE WeekDay = 0;
    DWORD StartTime = 0;
    DWORD EndTime = 0;
    CString Memo;
};

// The store keeps a time as 32 bits of a signed count of seconds: a time of
// day set before the zone's offset on the local date of time 0 lies before
// 1970 and is negative. Every reader and writer goes through these two.
inline CTime StoredTime(DWORD value)
{
    return CTime(__time64_t(LONG(value)));
}

inline DWORD StoredTimeValue(const CTime &time)
{
    return DWORD(LONG(time.GetTime()));
}
