// Time values (seconds since 1970-01-01 00:00 UTC, signed 64-bit) to and
// from the local time of this computer, through the Win32 time-zone
// functions, so that the console's pages, its rule publisher and the
// provider's schedule check all agree on the local time of day and week day.
//
// The daylight rule of each date applies as the system knows it. A local
// time inside the hour skipped when clocks go forward, or inside the hour
// repeated when they go back, converts as TzSpecificLocalTimeToSystemTime
// converts it. Wine takes both as daylight time: a skipped 02:30 becomes
// the instant that reads back as 01:30 standard time, and a repeated 01:30
// the earlier of its two instants.
#pragma once

#include <windows.h>

// The first and last second of the years 1601 to 9999.
const __int64 kEarliestTimeValue = -11644473600LL;
const __int64 kLatestTimeValue = 253402300799LL;

// FALSE when the value lies outside the years 1601 to 9999. Fills every
// field, wDayOfWeek included (0 Sunday), and wMilliseconds with 0.
BOOL TimeValueToLocalTime(__int64 time, SYSTEMTIME &local);

// Reads wYear, wMonth, wDay, wHour, wMinute and wSecond (wDayOfWeek and
// wMilliseconds are ignored); fields past their range carry over, as
// day 32 of January is the 1st of February. FALSE when the result lies
// outside the years 1601 to 9999.
BOOL LocalTimeToTimeValue(const SYSTEMTIME &local, __int64 &time);

// The same in UTC, with no time zone involved.
BOOL TimeValueToUtcTime(__int64 time, SYSTEMTIME &utc);
BOOL UtcTimeToTimeValue(const SYSTEMTIME &utc, __int64 &time);
