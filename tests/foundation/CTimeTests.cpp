// CTime and the local-time helper under a pinned time zone: ctest runs this
// program with TZ=America/New_York (west of UTC, with daylight saving) and
// with TZ=Asia/Shanghai (east of UTC, without); each case has the local
// time expected in both.
#include <CTime.h>
#include <LocalTime.h>

#include <gtest/gtest.h>

#include <ctime>

namespace {

enum Zone { NewYork, Shanghai };

// The zone of this run, told apart by its standard bias; any other zone
// fails every test, so that a run cannot check the wrong table.
Zone RunZone()
{
    TIME_ZONE_INFORMATION info;
    GetTimeZoneInformation(&info);
    if (info.Bias == 300 && info.DaylightBias == -60)
        return NewYork;
    if (info.Bias == -480)
        return Shanghai;
    ADD_FAILURE() << "run with TZ=America/New_York or TZ=Asia/Shanghai (bias " << info.Bias << ")";
    return NewYork;
}

struct TimeCase
{
    const char *what;
    __int64 time;
    const char *newYork;    // "%Y-%m-%d %H:%M:%S" in local time
    const char *shanghai;
    int newYorkWeekDay;
    int shanghaiWeekDay;
};

class CTimeLocal : public ::testing::TestWithParam<TimeCase>
{
protected:
    const char *Expected() const
    {
        return RunZone() == NewYork ? GetParam().newYork : GetParam().shanghai;
    }
    int ExpectedWeekDay() const
    {
        return RunZone() == NewYork ? GetParam().newYorkWeekDay : GetParam().shanghaiWeekDay;
    }
};

TEST_P(CTimeLocal, FormatsItsLocalTime)
{
    CTime t(GetParam().time);
    EXPECT_STREQ(Expected(), t.Format("%Y-%m-%d %H:%M:%S"));
}

TEST_P(CTimeLocal, FieldsConvertBackToTheSameValue)
{
    CTime t(GetParam().time);
    SYSTEMTIME local;
    ASSERT_TRUE(t.GetAsSystemTime(local));
    EXPECT_EQ(ExpectedWeekDay(), local.wDayOfWeek);
    EXPECT_EQ(local.wYear, t.GetYear());
    EXPECT_EQ(local.wMonth, t.GetMonth());
    EXPECT_EQ(local.wDay, t.GetDay());
    EXPECT_EQ(local.wHour, t.GetHour());
    EXPECT_EQ(local.wMinute, t.GetMinute());
    EXPECT_EQ(local.wSecond, t.GetSecond());

    EXPECT_EQ(GetParam().time, CTime(local).GetTime());
    EXPECT_EQ(GetParam().time, CTime(t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                                     t.GetMinute(), t.GetSecond(), -1).GetTime());
}

INSTANTIATE_TEST_SUITE_P(Cases, CTimeLocal, ::testing::Values(
    TimeCase{"zero", 0, "1969-12-31 19:00:00", "1970-01-01 08:00:00", 3, 4},
    TimeCase{"minus one", -1, "1969-12-31 18:59:59", "1970-01-01 07:59:59", 3, 4},
    TimeCase{"1969", -31536000, "1968-12-31 19:00:00", "1969-01-01 08:00:00", 2, 3},
    TimeCase{"summer 1960", -299851200, "1960-07-01 08:00:00", "1960-07-01 20:00:00", 5, 5},
    TimeCase{"summer 2040", 2224713600LL, "2040-06-30 20:00:00", "2040-07-01 08:00:00", 6, 0},
    TimeCase{"2000", 946684800, "1999-12-31 19:00:00", "2000-01-01 08:00:00", 5, 6},
    TimeCase{"FILETIME 0", kEarliestTimeValue, "1600-12-31 19:00:00", "1601-01-01 08:00:00", 0, 1},
    TimeCase{"last second", kLatestTimeValue, "9999-12-31 18:59:59", "10000-01-01 07:59:59", 5, 6}),
    [](const ::testing::TestParamInfo<TimeCase> &info) { return std::to_string(info.index); });

TEST(CTime, FileTimeIsUtcWithNoLocalDetour)
{
    FILETIME zero = {0, 0};
    EXPECT_EQ(kEarliestTimeValue, CTime(zero).GetTime());

    ULARGE_INTEGER ticks;
    ticks.QuadPart = (946684800ULL + 11644473600ULL) * 10000000ULL + 9999999ULL;
    FILETIME y2k = {ticks.LowPart, ticks.HighPart};
    EXPECT_EQ(946684800, CTime(y2k).GetTime());

    SYSTEMTIME utc = {1965, 3, 0, 15, 12, 30, 45, 0};
    FILETIME before1970;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &before1970));
    __int64 expected;
    ASSERT_TRUE(UtcTimeToTimeValue(utc, expected));
    EXPECT_EQ(expected, CTime(before1970).GetTime());
    EXPECT_LT(expected, 0);
}

TEST(CTime, CurrentTimeIsWholeSecondsOfTheClock)
{
    time_t before = time(NULL);
    CTime now = CTime::GetCurrentTime();
    time_t after = time(NULL);
    EXPECT_LE(before, now.GetTime());
    EXPECT_GE(after, now.GetTime());
}

TEST(CTime, DefaultIsZeroAndComparisonsFollowTheValue)
{
    EXPECT_EQ(0, CTime().GetTime());
    EXPECT_TRUE(CTime() == CTime(0));
    EXPECT_TRUE(CTime(-5) < CTime(0));
    EXPECT_TRUE(CTime(-5) <= CTime(-5));
    EXPECT_TRUE(CTime(7) > CTime(6));
    EXPECT_TRUE(CTime(7) >= CTime(7));
    EXPECT_TRUE(CTime(7) != CTime(6));
    EXPECT_FALSE(CTime(7) != CTime(7));
}

TEST(CTime, FieldsCarryOverAndImpossibleFieldsFail)
{
    EXPECT_EQ(CTime(2024, 2, 1, 0, 0, 0).GetTime(), CTime(2024, 1, 32, 0, 0, 0).GetTime());
    EXPECT_EQ(CTime(2025, 1, 1, 0, 0, 0).GetTime(), CTime(2024, 13, 1, 0, 0, 0).GetTime());
    EXPECT_EQ(CTime(2024, 3, 1, 0, 0, 0).GetTime(), CTime(2024, 2, 30, 0, 0, 0).GetTime());
    EXPECT_EQ(CTime(2024, 1, 2, 0, 0, 0).GetTime(), CTime(2024, 1, 1, 23, 59, 60).GetTime());
    EXPECT_EQ(-1, CTime(2024, 1, 1, -1, 0, 0).GetTime());
    EXPECT_EQ(-1, CTime(1500, 1, 1, 0, 0, 0).GetTime());
    EXPECT_EQ(-1, CTime(10001, 1, 1, 0, 0, 0).GetTime());

    SYSTEMTIME ignored;
    EXPECT_FALSE(CTime(kLatestTimeValue + 1).GetAsSystemTime(ignored));
    EXPECT_STREQ("", CTime(kEarliestTimeValue - 1).Format("%Y"));
    EXPECT_EQ(0, CTime(kEarliestTimeValue - 1).GetYear());
}

TEST(CTime, FormatDirectives)
{
    CTime t(2024, 5, 6, 7, 8, 9);
    EXPECT_STREQ("2024-05-06 07:08:09", t.Format("%Y-%m-%d %H:%M:%S"));
    EXPECT_STREQ("07:08:09", t.Format("%H:%M:%S"));
    EXPECT_STREQ("100% of 2024", t.Format("100%% of %Y"));
    EXPECT_STREQ("%q %", t.Format("%q %"));
    EXPECT_STREQ("", t.Format(""));
}

// A schedule window from 00:00:00 to 23:59:59 of one local day.
TEST(CTime, DayWindowOnDaylightChangeDays)
{
    bool newYork = RunZone() == NewYork;
    struct { int month, day; __int64 length; } days[] = {
        {3, 10, newYork ? 23 * 3600 - 1 : 24 * 3600 - 1},
        {11, 3, newYork ? 25 * 3600 - 1 : 24 * 3600 - 1},
        {6, 1, 24 * 3600 - 1},
    };
    for (const auto &d : days) {
        CTime start(2024, d.month, d.day, 0, 0, 0, -1);
        CTime end(2024, d.month, d.day, 23, 59, 59, -1);
        EXPECT_EQ(d.length, end.GetTime() - start.GetTime()) << d.month << "/" << d.day;
        EXPECT_STREQ("00:00:00", start.Format("%H:%M:%S"));
        EXPECT_STREQ("23:59:59", end.Format("%H:%M:%S"));
        EXPECT_EQ(d.day, end.GetDay());
    }
}

// The hour skipped on 2024-03-10 and the hour repeated on 2024-11-03 in New
// York convert as the Win32 function converts them (see LocalTime.h).
TEST(CTime, SkippedAndRepeatedHours)
{
    CTime skipped(2024, 3, 10, 2, 30, 0);
    CTime repeated(2024, 11, 3, 1, 30, 0);
    if (RunZone() == NewYork) {
        // Both taken as daylight time: 06:30 and 05:30 UTC.
        EXPECT_EQ(1710052200, skipped.GetTime());
        EXPECT_EQ(1730611800, repeated.GetTime());
        EXPECT_STREQ("2024-03-10 01:30:00", skipped.Format("%Y-%m-%d %H:%M:%S"));
        EXPECT_STREQ("2024-11-03 01:30:00", repeated.Format("%Y-%m-%d %H:%M:%S"));
    } else {
        EXPECT_EQ(1710009000, skipped.GetTime());
        EXPECT_EQ(1730568600, repeated.GetTime());
    }
}

} // namespace
