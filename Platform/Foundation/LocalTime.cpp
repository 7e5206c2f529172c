#include "LocalTime.h"

namespace {

const __int64 kSecondsPerDay = 86400;

__int64 FloorDiv(__int64 a, __int64 b)
{
    __int64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1970-01-01 to the given date of the Gregorian calendar,
// continued before 1582. Linear in the day, so a day past the month's end
// carries over; months past 12 carry into the year.
__int64 DaysFromDate(__int64 year, __int64 month, __int64 day)
{
    year += FloorDiv(month - 1, 12);
    month -= 12 * FloorDiv(month - 1, 12);
    if (month <= 2)
        --year;
    __int64 era = FloorDiv(year, 400);
    __int64 yearOfEra = year - era * 400;
    __int64 dayOfYear = (153 * ((month + 9) % 12) + 2) / 5 + day - 1;  // from 1 March
    __int64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Seconds of the calendar fields taken as they are, with no time zone.
__int64 FieldSeconds(const SYSTEMTIME &fields)
{
    return DaysFromDate(fields.wYear, fields.wMonth, fields.wDay) * kSecondsPerDay +
           fields.wHour * 3600LL + fields.wMinute * 60LL + fields.wSecond;
}

// The calendar fields of a count of seconds, with no time zone.
BOOL SecondsToFields(__int64 seconds, SYSTEMTIME &fields)
{
    __int64 days = FloorDiv(seconds, kSecondsPerDay);
    __int64 secondOfDay = seconds - days * kSecondsPerDay;
    __int64 shifted = days + 719468;
    __int64 era = FloorDiv(shifted, 146097);
    __int64 dayOfEra = shifted - era * 146097;
    __int64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    __int64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    __int64 monthFromMarch = (5 * dayOfYear + 2) / 153;
    __int64 month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    __int64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1 || year > 30827)
        return FALSE;
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    // 1970-01-01 was a Thursday (4).
    fields.wDayOfWeek = static_cast<WORD>(days + 4 - 7 * FloorDiv(days + 4, 7));
    fields.wHour = static_cast<WORD>(secondOfDay / 3600);
    fields.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    fields.wSecond = static_cast<WORD>(secondOfDay % 60);
    fields.wMilliseconds = 0;
    return TRUE;
}

bool InRange(__int64 time)
{
    return time >= kEarliestTimeValue && time <= kLatestTimeValue;
}

// Local minus UTC, in seconds, at a time that the Win32 functions can
// convert. Used for the first and last hours of the range, whose local
// time may fall outside what they accept.
__int64 LocalOffsetNear(__int64 time)
{
    const __int64 margin = 2 * kSecondsPerDay;
    __int64 inside = time < kEarliestTimeValue + margin ? time + margin : time - margin;
    SYSTEMTIME utc, local;
    if (!SecondsToFields(inside, utc) || !SystemTimeToTzSpecificLocalTime(NULL, &utc, &local))
        return 0;
    return FieldSeconds(local) - inside;
}

} // namespace

BOOL TimeValueToUtcTime(__int64 time, SYSTEMTIME &utc)
{
    return InRange(time) && SecondsToFields(time, utc);
}

BOOL UtcTimeToTimeValue(const SYSTEMTIME &utc, __int64 &time)
{
    __int64 seconds = FieldSeconds(utc);
    if (!InRange(seconds))
        return FALSE;
    time = seconds;
    return TRUE;
}

BOOL TimeValueToLocalTime(__int64 time, SYSTEMTIME &local)
{
    SYSTEMTIME utc;
    if (!TimeValueToUtcTime(time, utc))
        return FALSE;
    SYSTEMTIME converted;
    if (SystemTimeToTzSpecificLocalTime(NULL, &utc, &converted))
        return SecondsToFields(FieldSeconds(converted), local);
    return SecondsToFields(time + LocalOffsetNear(time), local);
}

BOOL LocalTimeToTimeValue(const SYSTEMTIME &local, __int64 &time)
{
    // Normalised first: the Win32 function accepts only valid dates.
    __int64 localSeconds = FieldSeconds(local);
    SYSTEMTIME normalised, utc;
    __int64 result;
    if (SecondsToFields(localSeconds, normalised) &&
        TzSpecificLocalTimeToSystemTime(NULL, &normalised, &utc))
        result = FieldSeconds(utc);
    else
        result = localSeconds - LocalOffsetNear(localSeconds);
    if (!InRange(result))
        return FALSE;
    time = result;
    return TRUE;
}
