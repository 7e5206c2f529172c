#include "CTime.h"
#include "LocalTime.h"

#include <initializer_list>

namespace {

const __int64 kFileTimeTicksPerSecond = 10000000;
const __int64 kFileTimeEpochSeconds = 11644473600LL;   // 1601-01-01 to 1970-01-01

__time64_t LocalTimeOrFailure(const SYSTEMTIME &local)
{
    __int64 time;
    return LocalTimeToTimeValue(local, time) ? time : -1;
}

bool FitsWord(int value)
{
    return value >= 0 && value <= 0xFFFF;
}

void AppendNumber(CString &text, int value, int minDigits)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || n < minDigits);
    while (n > 0)
        text += digits[--n];
}

} // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int /*nDST*/)
    : m_time(-1)
{
    for (int field : {nYear, nMonth, nDay, nHour, nMin, nSec}) {
        if (!FitsWord(field))
            return;
    }
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(nYear);
    local.wMonth = static_cast<WORD>(nMonth);
    local.wDay = static_cast<WORD>(nDay);
    local.wHour = static_cast<WORD>(nHour);
    local.wMinute = static_cast<WORD>(nMin);
    local.wSecond = static_cast<WORD>(nSec);
    m_time = LocalTimeOrFailure(local);
}

CTime::CTime(const SYSTEMTIME &sysTime, int /*nDST*/) : m_time(LocalTimeOrFailure(sysTime))
{
}

CTime::CTime(const FILETIME &fileTime)
{
    ULARGE_INTEGER ticks;
    ticks.LowPart = fileTime.dwLowDateTime;
    ticks.HighPart = fileTime.dwHighDateTime;
    m_time = static_cast<__int64>(ticks.QuadPart / kFileTimeTicksPerSecond) - kFileTimeEpochSeconds;
}

CTime CTime::GetCurrentTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return CTime(now);
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME &timeDest) const
{
    return TimeValueToLocalTime(m_time, timeDest);
}

CString CTime::Format(LPCTSTR pFormat) const
{
    CString text;
    SYSTEMTIME local;
    if (!pFormat || !TimeValueToLocalTime(m_time, local))
        return text;
    for (LPCTSTR p = pFormat; *p; ++p) {
        if (*p != '%' || p[1] == '\0') {
            text += *p;
            continue;
        }
        switch (*++p) {
        case 'Y': AppendNumber(text, local.wYear, 1); break;
        case 'm': AppendNumber(text, local.wMonth, 2); break;
        case 'd': AppendNumber(text, local.wDay, 2); break;
        case 'H': AppendNumber(text, local.wHour, 2); break;
        case 'M': AppendNumber(text, local.wMinute, 2); break;
        case 'S': AppendNumber(text, local.wSecond, 2); break;
        case '%': text += '%'; break;
        default:
            text += '%';
            text += *p;
            break;
        }
    }
    return text;
}

SYSTEMTIME CTime::LocalFields() const
{
    SYSTEMTIME local = {};
    if (!TimeValueToLocalTime(m_time, local))
        local = SYSTEMTIME();
    return local;
}
