// The program page's Time view: the seven time schedules, one shown at a
// time. Week day k (0 Sunday to 6 Saturday) is bit k of the mask counted
// from the most significant bit; the lowest bit means "no day" and the page
// never sets it. Schedule 1 is shown but cannot be changed.
#include "ProgramFrame.h"

#include "AclPublisher.h"
#include "EditRefusal.h"
#include "LoggedOnRefusal.h"
#include "Bits.h"

CSkinCheckBox &CProgramFrame::WeekDayCell(int day)
{
    CSkinCheckBox *const cells[WEEKDAY_COUNT] = {&m_sunday,   &m_monday, &m_tuesday, &m_wednesday,
                                                 &m_thursday, &m_friday, &m_saturday};
    return *cells[day];
}

CSkinButton &CProgramFrame::ScheduleButton(int schedule)
{
    CSkinButton *const buttons[SCHEDULE_COUNT] = {&m_schedule1, &m_schedule2, &m_schedule3,
                                                  &m_schedule4, &m_schedule5, &m_schedule6,
                                                  &m_schedule7};
    return *buttons[schedule - 1];
}

BOOL CProgramFrame::IsScheduleChanged() const
{
    return m_currentWeekDays != m_baselineWeekDays || m_startTime != m_baselineStart ||
           m_endTime != m_baselineEnd;
}

void CProgramFrame::EnableApplyIfChanged()
{
    m_applyButton.EnableButton(IsScheduleChanged());
}

BOOL CProgramFrame::CheckLeavingSchedule()
{
    if (m_currentSchedule == 0 || !IsScheduleChanged())
        return TRUE;
    if (AskBox(m_texts.GetText("Time_Save_Warning"), MB_YESNO | MB_ICONINFORMATION) == IDYES)
        return ApplySchedule();
    return TRUE;
}

void CProgramFrame::OnScheduleClicked(UINT id)
{
    LoadSchedule(static_cast<int>(id - IDC_SCHEDULE_1) + 1);
}

void CProgramFrame::LoadSchedule(int schedule)
{
    if (schedule < 1 || schedule > SCHEDULE_COUNT)
        return;
    UpdateData(TRUE);
    MarkSchedule(schedule);
    if (!CheckLeavingSchedule()) {
        MarkSchedule(m_currentSchedule);
        return;
    }

    // A schedule the store lacks shows no day and times 0.
    TimeRecord record;
    if (m_publisher)
        m_publisher->RuleStore().GetTime(schedule, record);
    m_currentSchedule = schedule;
    for (int day = 0; day < WEEKDAY_COUNT; ++day) {
        CSkinCheckBox &cell = WeekDayCell(day);
        cell.m_bChecked = GetBits(record.WeekDay, static_cast<BYTE>(day), 1);
        cell.Invalidate(TRUE);
    }
    m_baselineWeekDays = m_currentWeekDays = record.WeekDay;
    m_baselineStart = m_startTime = StoredTime(record.StartTime);
    m_baselineEnd = m_endTime = StoredTime(record.EndTime);
    m_applyButton.EnableButton(FALSE);
    UpdateData(FALSE);
    Invalidate(FALSE);
}

void CProgramFrame::MarkSchedule(int schedule)
{
    for (int other = 1; other <= SCHEDULE_COUNT; ++other)
        ScheduleButton(other).SetCheck(other == schedule);
    const BOOL editable = schedule != 1;
    GetDlgItem(IDC_START_TIME)->EnableWindow(editable);
    GetDlgItem(IDC_END_TIME)->EnableWindow(editable);
    for (int day = 0; day < WEEKDAY_COUNT; ++day)
        WeekDayCell(day).EnableCheck(editable);
}

void CProgramFrame::OnWeekDayClicked(UINT)
{
    m_currentWeekDays = 0;
    for (int day = 0; day < WEEKDAY_COUNT; ++day)
        SetBit(&m_currentWeekDays, static_cast<BYTE>(day), WeekDayCell(day).m_bChecked != FALSE);
    EnableApplyIfChanged();
}

void CProgramFrame::OnScheduleTimeChanged(NMHDR *, LRESULT *pResult)
{
    UpdateData(TRUE);
    EnableApplyIfChanged();
    *pResult = 0;
}

void CProgramFrame::OnApplyClicked()
{
    ApplySchedule();
}

// A schedule the store or the image refuses stays changed on screen, with
// Apply on.
BOOL CProgramFrame::ApplySchedule()
{
    if (RefuseWhileLoggedOff(m_hWnd, m_texts))
        return TRUE;
    if (m_publisher &&
        !m_publisher->SetTimeRule(m_currentSchedule, m_currentWeekDays, m_startTime, m_endTime, "")) {
        TellEditRefused(m_hWnd, m_texts, "ERR_ScheduleNotSaved");
        return FALSE;
    }
    m_baselineWeekDays = m_currentWeekDays;
    m_baselineStart = m_startTime;
    m_baselineEnd = m_endTime;
    m_applyButton.EnableButton(FALSE);
    return TRUE;
}
