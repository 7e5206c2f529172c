// The program page's Time view: the seven schedules shown, edited by real
// clicks and keys, and stored through the publisher into the rule store and
// the rule image.
#include "ProgramPageFixture.h"

#include <commctrl.h>
#include <sqlite3.h>

#include <algorithm>

namespace {

// The cells in week-day order, Sunday first.
const UINT DAY_CELLS[7] = {IDC_WEEKDAY_SUNDAY,   IDC_WEEKDAY_MONDAY, IDC_WEEKDAY_TUESDAY,
                           IDC_WEEKDAY_WEDNESDAY, IDC_WEEKDAY_THURSDAY, IDC_WEEKDAY_FRIDAY,
                           IDC_WEEKDAY_SATURDAY};

class Schedule : public ProgramPage
{
protected:
    void OpenTimeView()
    {
        OpenPage();
        ClickControl(Control(IDC_VIEW_TIME));
        PumpFor(50);
    }

    void ClickSchedule(int schedule)
    {
        ClickControl(Control(IDC_SCHEDULE_1 + schedule - 1));
        PumpFor(50);
    }

    // A click on the cell's box or, every second time, on its text, as a
    // person ticks a day; a second click at the same place would be a
    // double click.
    void ClickDay(int day)
    {
        const bool onText = (m_dayClicks++ % 2) == 1;
        ClickControlAt(Control(DAY_CELLS[day]), onText ? POINT{40, 9} : POINT{6, 9});
        PumpFor(50);
    }
    int m_dayClicks = 0;

    // Whether the cell shows its mark: black strokes inside its box.
    bool ShowsMark(const CDib &shot, int day) const
    {
        const RECT cell = RectOf(DAY_CELLS[day]);
        RECT inside = {cell.left + 3, cell.top + 6, cell.left + 11, cell.top + 14};
        const int boxTop = (cell.bottom - cell.top - 12) / 2;
        OffsetRect(&inside, 0, boxTop - 3);
        return shot.CountColour(RGB(0, 0, 0), inside) > 4;
    }

    std::vector<int> MarkedDays(const char *state)
    {
        CDib shot = Shot(state);
        std::vector<int> days;
        for (int day = 0; day < 7; ++day) {
            if (ShowsMark(shot, day))
                days.push_back(day);
        }
        return days;
    }

    void DeleteStoredSchedule(int id)
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(RulesPath().c_str(), &db));
        const std::string sql = "delete from Times where ID=" + std::to_string(id) + ";";
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr));
        sqlite3_close(db);
    }

    bool ApplyIsOn() const { return IsEnabled(IDC_SCHEDULE_APPLY); }

    TimeRule ImageSchedule(DWORD id)
    {
        for (const TimeRule &rule : TimeRules(*m_publisher)) {
            if (rule.ID == id)
                return rule;
        }
        ADD_FAILURE() << "no schedule " << id << " in the image";
        return TimeRule{};
    }

    // The start picker's hour goes up by one: a click on its hour field,
    // the first, then the Up key.
    void RaiseStartHour()
    {
        ClickControlAt(Control(IDC_START_TIME), POINT{9, 10});
        PressKey(VK_UP);
        PumpFor(50);
    }
    void LowerStartHour()
    {
        PressKey(VK_DOWN);
        PumpFor(50);
    }
    SYSTEMTIME PickerTime(UINT id) const
    {
        SYSTEMTIME time = {};
        ::SendMessageA(Control(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        return time;
    }
};

// --- loading -----------------------------------------------------------------

TEST_F(Schedule, StoredWeekDaysTickTheirCells)
{
    StoreSchedule(2, 0x7C, 0, 0);
    StoreSchedule(3, 0x80, 0, 0);
    StoreSchedule(4, 0x02, 0, 0);
    StoreSchedule(5, 255, 0, 0);
    OpenTimeView();
    struct Case { int schedule; std::vector<int> days; };
    const Case cases[] = {
        {2, {1, 2, 3, 4, 5}},
        {3, {0}},
        {4, {6}},
        {5, {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case &c : cases) {
        ClickSchedule(c.schedule);
        EXPECT_EQ(c.schedule, m_page->CurrentSchedule());
        EXPECT_FALSE(IsEnabled(IDC_SCHEDULE_1 + c.schedule - 1));
        EXPECT_FALSE(ApplyIsOn());
        const std::string state = "schedule-" + std::to_string(c.schedule);
        EXPECT_EQ(c.days, MarkedDays(state.c_str())) << c.schedule;
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(Schedule, PickersShowTheLocalTimeOfDay)
{
    // 08:30:00 and 17:45:10 of a local day.
    CTime start(2024, 3, 5, 8, 30, 0), end(2024, 3, 5, 17, 45, 10);
    StoreSchedule(2, 0x7C, static_cast<DWORD>(start.GetTime()), static_cast<DWORD>(end.GetTime()));
    OpenTimeView();
    ClickSchedule(2);
    const SYSTEMTIME shownStart = PickerTime(IDC_START_TIME), shownEnd = PickerTime(IDC_END_TIME);
    EXPECT_EQ(8, shownStart.wHour);
    EXPECT_EQ(30, shownStart.wMinute);
    EXPECT_EQ(17, shownEnd.wHour);
    EXPECT_EQ(45, shownEnd.wMinute);
    EXPECT_EQ(10, shownEnd.wSecond);
    EXPECT_FALSE(ApplyIsOn());
}

TEST_F(Schedule, ScheduleOneCannotBeChangedAndNeverAsks)
{
    OpenTimeView();
    EXPECT_EQ(1, m_page->CurrentSchedule());
    EXPECT_FALSE(IsEnabled(IDC_START_TIME));
    EXPECT_FALSE(IsEnabled(IDC_END_TIME));
    const std::vector<int> before = MarkedDays("schedule-1");
    ClickDay(3);
    EXPECT_EQ(before, MarkedDays("schedule-1-clicked"));
    EXPECT_FALSE(ApplyIsOn());
    ClickSchedule(2);
    ClickControl(Control(IDC_VIEW_PROGRAM));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(255, StoredSchedule(1).WeekDay);
}

TEST_F(Schedule, AScheduleTheStoreLacksShowsNoDayAndTimesZero)
{
    DeleteStoredSchedule(6);
    OpenTimeView();
    ClickSchedule(6);
    EXPECT_EQ(6, m_page->CurrentSchedule());
    EXPECT_TRUE(MarkedDays("missing-schedule").empty());
    const SYSTEMTIME shown = PickerTime(IDC_START_TIME);
    const CTime zero(static_cast<__time64_t>(0));
    EXPECT_EQ(zero.GetHour(), shown.wHour);
    EXPECT_EQ(zero.GetMinute(), shown.wMinute);
    EXPECT_FALSE(ApplyIsOn());
}

// --- changing and reverting -----------------------------------------------------

TEST_F(Schedule, ACellClickTurnsApplyOnAndItsReversalOff)
{
    StoreSchedule(2, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(0);
    EXPECT_TRUE(ApplyIsOn());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), MarkedDays("sunday-ticked"));
    ClickDay(0);
    EXPECT_FALSE(ApplyIsOn());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(Schedule, AllDaysStoredStayChangedAfterAReversalAndStore254)
{
    StoreSchedule(2, 255, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(4);
    ClickDay(4);
    EXPECT_TRUE(ApplyIsOn());
    ClickControl(Control(IDC_SCHEDULE_APPLY));
    PumpFor(50);
    EXPECT_FALSE(ApplyIsOn());
    EXPECT_EQ(254, StoredSchedule(2).WeekDay);
    EXPECT_EQ(254, ImageSchedule(2).WeekDay);
}

TEST_F(Schedule, APickerEditTurnsApplyOnAndItsReversalOff)
{
    StoreSchedule(3, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(3);
    const SYSTEMTIME before = PickerTime(IDC_START_TIME);
    RaiseStartHour();
    EXPECT_EQ((before.wHour + 1) % 24, PickerTime(IDC_START_TIME).wHour);
    EXPECT_TRUE(ApplyIsOn());
    Shot("start-hour-raised");
    LowerStartHour();
    EXPECT_EQ(before.wHour, PickerTime(IDC_START_TIME).wHour);
    EXPECT_FALSE(ApplyIsOn());
}

TEST_F(Schedule, ApplyStoresRowAndImageAndEmptiesTheMemo)
{
    CTime start(2024, 3, 5, 8, 0, 0);
    StoreSchedule(2, 0x7C, static_cast<DWORD>(start.GetTime()), static_cast<DWORD>(start.GetTime()),
                  "office hours");
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(6);
    RaiseStartHour();
    ClickControl(Control(IDC_SCHEDULE_APPLY));
    PumpFor(50);
    EXPECT_FALSE(ApplyIsOn());
    const TimeRecord stored = StoredSchedule(2);
    EXPECT_EQ(0x7E, stored.WeekDay);
    EXPECT_EQ(9, StoredTime(stored.StartTime).GetHour());
    EXPECT_EQ(start.GetTime(), StoredTime(stored.EndTime).GetTime());
    EXPECT_EQ("", std::string(stored.Memo));
    const TimeRule image = ImageSchedule(2);
    EXPECT_EQ(0x7E, image.WeekDay);
    EXPECT_EQ(9u * 3600u, image.StartTime);
    EXPECT_EQ(8u * 3600u, image.EndTime);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(Schedule, ApplyLoggedOffRefusesAndStaysOn)
{
    StoreSchedule(2, 0x7C, 0, 0, "kept");
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(0);
    LoggedOn = 0;
    m_boxes.AnswerNextBox(IDOK);
    ClickControl(Control(IDC_SCHEDULE_APPLY));
    PumpFor(50);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[0], "APP", "LOG_DONT");
    EXPECT_TRUE(ApplyIsOn());
    EXPECT_EQ(0x7C, StoredSchedule(2).WeekDay);
    EXPECT_EQ("kept", std::string(StoredSchedule(2).Memo));
}

TEST_F(Schedule, ApplyRefusedByALockedStoreSaysSoAndKeepsTheChange)
{
    StoreSchedule(2, 0x7C, 0, 0, "kept");
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(0);
    WhileRulesLocked([&] {
        m_boxes.AnswerNextBox(IDOK);
        ClickControl(Control(IDC_SCHEDULE_APPLY));
        PumpFor(50);
    });
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[0], "FRAME_PROGRAM", "ERR_ScheduleNotSaved");
    EXPECT_TRUE(ApplyIsOn());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), MarkedDays("apply-refused"));
    EXPECT_EQ(0x7C, StoredSchedule(2).WeekDay);
    EXPECT_EQ("kept", std::string(StoredSchedule(2).Memo));
    EXPECT_EQ(0x7C, ImageSchedule(2).WeekDay);

    // Once the store is free again the same Apply saves the change.
    ClickControl(Control(IDC_SCHEDULE_APPLY));
    PumpFor(50);
    EXPECT_FALSE(ApplyIsOn());
    EXPECT_EQ(0xFC, StoredSchedule(2).WeekDay);
    EXPECT_EQ(0xFC, ImageSchedule(2).WeekDay);
    EXPECT_EQ(1u, m_boxes.Boxes().size());
}

// --- leaving ------------------------------------------------------------------

TEST_F(Schedule, LeavingAChangedScheduleAsksOnceAndYesStoresItFirst)
{
    StoreSchedule(2, 0x7C, 0, 0, "note");
    StoreSchedule(3, 0x80, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(6);
    m_boxes.AnswerNextBox(IDYES);
    ClickSchedule(3);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const BoxRecord &box = m_boxes.Boxes()[0];
    EXPECT_EQ(LanguageText("FRAME_PROGRAM", "Time_Save_Warning"), box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), box.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
    EXPECT_EQ(0x7E, StoredSchedule(2).WeekDay);
    EXPECT_EQ("", std::string(StoredSchedule(2).Memo));
    EXPECT_EQ(0x7E, ImageSchedule(2).WeekDay);
    EXPECT_EQ(3, m_page->CurrentSchedule());
    EXPECT_EQ((std::vector<int>{0}), MarkedDays("after-yes"));
    EXPECT_FALSE(ApplyIsOn());
}

TEST_F(Schedule, NoToTheQuestionStoresNothing)
{
    StoreSchedule(2, 0x7C, 0, 0, "note");
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(6);
    m_boxes.AnswerNextBox(IDNO);
    ClickSchedule(4);
    EXPECT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(0x7C, StoredSchedule(2).WeekDay);
    EXPECT_EQ("note", std::string(StoredSchedule(2).Memo));
    EXPECT_EQ(0x7C, ImageSchedule(2).WeekDay);
    // Back on schedule 2 the stored days show again.
    ClickSchedule(2);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), MarkedDays("dropped"));
}

TEST_F(Schedule, LeavingTheViewAsksTooAndYesStores)
{
    StoreSchedule(5, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(5);
    ClickDay(0);
    Shot("changed-before-leaving");
    m_boxes.AnswerNextBox(IDYES);
    ClickControl(Control(IDC_VIEW_PROGRAM));
    PumpFor(50);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(0xFC, StoredSchedule(5).WeekDay);
    EXPECT_EQ(0xFC, ImageSchedule(5).WeekDay);
    EXPECT_EQ(0, m_page->CurrentSchedule());
    // An unchanged schedule asks nothing on leaving.
    ClickControl(Control(IDC_VIEW_TIME));
    ClickSchedule(5);
    ClickControl(Control(IDC_VIEW_PROGRAM));
    EXPECT_EQ(1u, m_boxes.Boxes().size());
}

// Yes to saving, refused by the store: the box says so and the changed
// schedule stays on screen, whether another schedule or another view was
// chosen.
TEST_F(Schedule, YesRefusedByALockedStoreKeepsTheScheduleOnScreen)
{
    StoreSchedule(2, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(0);
    WhileRulesLocked([&] {
        m_boxes.AnswerNextBox(IDYES);
        m_boxes.AnswerNextBox(IDOK);
        ClickSchedule(3);
        m_boxes.AnswerNextBox(IDYES);
        m_boxes.AnswerNextBox(IDOK);
        ClickControl(Control(IDC_VIEW_PROGRAM));
        PumpFor(50);
    });
    ASSERT_EQ(4u, m_boxes.Boxes().size());
    ExpectRefusal(m_boxes.Boxes()[1], "FRAME_PROGRAM", "ERR_ScheduleNotSaved");
    ExpectRefusal(m_boxes.Boxes()[3], "FRAME_PROGRAM", "ERR_ScheduleNotSaved");
    EXPECT_EQ(2, m_page->CurrentSchedule());
    EXPECT_EQ(static_cast<int>(CProgramFrame::VIEW_TIME), m_page->CurrentView());
    EXPECT_TRUE(IsShown(IDC_SCHEDULE_APPLY));
    EXPECT_FALSE(IsShown(IDC_RULE_GRID));
    EXPECT_FALSE(IsEnabled(IDC_SCHEDULE_1 + 1));
    EXPECT_TRUE(IsEnabled(IDC_SCHEDULE_1 + 2));
    EXPECT_FALSE(IsEnabled(IDC_VIEW_TIME));
    EXPECT_TRUE(ApplyIsOn());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), MarkedDays("leaving-refused"));
    EXPECT_EQ(0x7C, StoredSchedule(2).WeekDay);

    m_boxes.AnswerNextBox(IDYES);
    ClickSchedule(3);
    EXPECT_EQ(5u, m_boxes.Boxes().size());
    EXPECT_EQ(3, m_page->CurrentSchedule());
    EXPECT_EQ(0xFC, StoredSchedule(2).WeekDay);
    EXPECT_EQ(0xFC, ImageSchedule(2).WeekDay);
}

TEST_F(Schedule, YesWhileLoggedOffRefusesAndDropsTheChanges)
{
    StoreSchedule(2, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    ClickDay(0);
    LoggedOn = 0;
    m_boxes.AnswerNextBox(IDYES);
    m_boxes.AnswerNextBox(IDOK);
    ClickSchedule(3);
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("APP", "LOG_DONT"), m_boxes.Boxes()[1].text);
    EXPECT_EQ(3, m_page->CurrentSchedule());
    EXPECT_EQ(0x7C, StoredSchedule(2).WeekDay);
}

// In every zone a stored 0 reads back as 0: loading asks nothing and a
// day's change stores the times as they were.
TEST_F(Schedule, AStoredZeroTimeRoundTrips)
{
    StoreSchedule(2, 0x7C, 0, 0);
    OpenTimeView();
    ClickSchedule(2);
    EXPECT_FALSE(ApplyIsOn());
    ClickDay(0);
    ClickControl(Control(IDC_SCHEDULE_APPLY));
    PumpFor(50);
    EXPECT_EQ(0u, StoredSchedule(2).StartTime);
    EXPECT_EQ(0u, StoredSchedule(2).EndTime);
    ClickSchedule(3);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// The shipped schedules hold time 0, whose local date starts before 1970 UTC
// west of it: an hour set before the zone's offset is stored negative. Each
// target hour is reached from the one time 0 shows with the arrow keys,
// applied, and the schedule reopened, in whichever zone the run is set to.
TEST_F(Schedule, HoursEitherSideOfTheZonesOffsetReopenAsSet)
{
    const int hourOfZero = CTime(static_cast<__time64_t>(0)).GetHour();
    OpenTimeView();
    for (int wanted : {0, hourOfZero - 1, hourOfZero + 1, 23}) {
        if (wanted < 0 || wanted > 23 || wanted == hourOfZero)
            continue;
        StoreSchedule(2, 0x7C, 0, 0);
        ClickSchedule(3);
        ClickSchedule(2);
        ClickControlAt(Control(IDC_START_TIME), POINT{9, 10});
        for (int hour = hourOfZero; hour != wanted; hour += wanted > hour ? 1 : -1)
            PressKey(wanted > hour ? VK_UP : VK_DOWN);
        PumpFor(50);
        ASSERT_EQ(wanted, PickerTime(IDC_START_TIME).wHour);
        ClickControl(Control(IDC_SCHEDULE_APPLY));
        PumpFor(50);
        EXPECT_EQ(wanted, StoredTime(StoredSchedule(2).StartTime).GetHour()) << wanted;
        EXPECT_EQ(DWORD(wanted) * 3600u, ImageSchedule(2).StartTime) << wanted;

        ClickSchedule(3);
        ClickSchedule(2);
        EXPECT_EQ(wanted, PickerTime(IDC_START_TIME).wHour) << wanted;
        EXPECT_EQ(0, PickerTime(IDC_START_TIME).wMinute) << wanted;
        EXPECT_FALSE(ApplyIsOn()) << wanted;
        Shot(("reopened-start-" + std::to_string(wanted)).c_str());

        // A later change of days keeps the time as set.
        const DWORD storedStart = StoredSchedule(2).StartTime;
        ClickDay(0);
        ClickControl(Control(IDC_SCHEDULE_APPLY));
        PumpFor(50);
        EXPECT_EQ(storedStart, StoredSchedule(2).StartTime) << wanted;
        EXPECT_EQ(DWORD(wanted) * 3600u, ImageSchedule(2).StartTime) << wanted;
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// A negative stored time opens on its local hour.
TEST_F(Schedule, ANegativeStoredTimeShowsItsLocalHour)
{
    const CTime beforeEpoch(static_cast<__time64_t>(-3600));
    StoreSchedule(2, 0x7C, StoredTimeValue(beforeEpoch), StoredTimeValue(beforeEpoch));
    OpenTimeView();
    ClickSchedule(2);
    EXPECT_EQ(beforeEpoch.GetHour(), PickerTime(IDC_START_TIME).wHour);
    EXPECT_EQ(beforeEpoch.GetMinute(), PickerTime(IDC_START_TIME).wMinute);
    EXPECT_EQ(beforeEpoch.GetSecond(), PickerTime(IDC_END_TIME).wSecond);
    EXPECT_FALSE(ApplyIsOn());
}

} // namespace
