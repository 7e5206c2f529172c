// CTime: a point in time as signed 64-bit seconds since 1970-01-01 00:00
// UTC. Every time of the years 1601 to 9999 is valid, those before 1970
// included. Local fields come from LocalTime.h, the Win32 time-zone
// functions, never from the CRT's localtime or mktime.
#pragma once

#include "CString.h"

#include <windows.h>

// windows.h maps this name to GetTickCount.
#undef GetCurrentTime

class CTime
{
public:
    constexpr CTime() noexcept : m_time(0) {}
    CTime(__time64_t time) noexcept : m_time(time) {}
    // Local time. Fields past their range carry over (day 32 of January is
    // the 1st of February). The zone's daylight rule for the date decides;
    // nDST is accepted for the familiar signature and ignored. A negative
    // field, or a result outside the years 1601 to 9999, gives the time -1.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const SYSTEMTIME &sysTime, int nDST = -1);
    // UTC, converted with no detour through local time; 0 is 1601-01-01.
    CTime(const FILETIME &fileTime);

    // Whole seconds, as time() gives them.
    static CTime GetCurrentTime();

    __time64_t GetTime() const { return m_time; }

    // Local time. Outside the years 1601 to 9999 the fields read as 0.
    int GetYear() const { return LocalFields().wYear; }
    int GetMonth() const { return LocalFields().wMonth; }
    int GetDay() const { return LocalFields().wDay; }
    int GetHour() const { return LocalFields().wHour; }
    int GetMinute() const { return LocalFields().wMinute; }
    int GetSecond() const { return LocalFields().wSecond; }
    BOOL GetAsSystemTime(SYSTEMTIME &timeDest) const;

    // Local time with %Y, %m, %d, %H, %M, %S and %%; any other text is
    // copied as it is. Empty only outside the years 1601 to 9999.
    CString Format(LPCTSTR pFormat) const;

    bool operator==(CTime time) const { return m_time == time.m_time; }
    bool operator!=(CTime time) const { return m_time != time.m_time; }
    bool operator<(CTime time) const { return m_time < time.m_time; }
    bool operator<=(CTime time) const { return m_time <= time.m_time; }
    bool operator>(CTime time) const { return m_time > time.m_time; }
    bool operator>=(CTime time) const { return m_time >= time.m_time; }

private:
    SYSTEMTIME LocalFields() const;

    __time64_t m_time;
};
