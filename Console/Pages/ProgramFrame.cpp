// The page as a whole: controls, pictures and texts, the views, the level
// slider, the layout and the painting.
#include "ProgramFrame.h"

#include "AclPublisher.h"
#include "ConsoleMessages.h"

#include <CPaintDC.h>
#include <DataExchange.h>
#include <MemoryDC.h>

#include <commctrl.h>
#include <cstdlib>

namespace {

// The level is the position mirrored: the top position (0) is level 2.
BYTE LevelOfPosition(int position)
{
    return static_cast<BYTE>(std::abs(2 - position));
}

const UINT GENERAL_CONTROLS[] = {IDC_LEVEL_GROUP, IDC_LEVEL_SLIDER, IDC_LEVEL_HIGH,
                                 IDC_LEVEL_MIDDLE, IDC_LEVEL_LOW, IDC_LEVEL_TEXT};
const UINT TIME_CONTROLS[] = {1021, 1022, 1023, 1024, 1025, 1026, 1027, IDC_SCHEDULE_APPLY,
                              IDC_WEEK_CAPTION, IDC_TIME_CAPTION, IDC_START_CAPTION,
                              IDC_END_CAPTION, 1029, 1030, 1031, 1032, 1033, 1034, 1035,
                              IDC_START_TIME, IDC_END_TIME};

} // namespace

BEGIN_MESSAGE_MAP(CProgramFrame, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_VIEW_GENERAL, OnViewGeneral)
    ON_BN_CLICKED(IDC_VIEW_TIME, OnViewTime)
    ON_BN_CLICKED(IDC_VIEW_PROGRAM, OnViewProgram)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_LEVEL_SLIDER, OnLevelReleased)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SCHEDULE_1, IDC_SCHEDULE_7, OnScheduleClicked)
    ON_BN_CLICKED(IDC_SCHEDULE_APPLY, OnApplyClicked)
    ON_CONTROL_RANGE(STN_CLICKED, IDC_WEEKDAY_FIRST, IDC_WEEKDAY_LAST, OnWeekDayClicked)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_START_TIME, OnScheduleTimeChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_END_TIME, OnScheduleTimeChanged)
    ON_NOTIFY(NM_CLICK, IDC_RULE_GRID, OnGridClick)
    ON_NOTIFY(NM_RCLICK, IDC_RULE_GRID, OnGridRightClick)
    ON_COMMAND(32781, OnProgramOption)
    ON_COMMAND(32774, OnDeleteProgram)
    ON_COMMAND(32784, OnLockDeny)
    ON_COMMAND(32785, OnLockPass)
    ON_COMMAND(32786, OnFileProperties)
    ON_COMMAND(32780, OnUnusedCommand)
    ON_MESSAGE(WM_ACTION_CELL_CHANGED, OnActionCellChanged)
    ON_MESSAGE(WM_PROGRAM_ACTIVE, OnProgramActive)
    ON_MESSAGE(WM_PROGRAM_LIST_CHANGED, OnProgramListChanged)
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_MESSAGE(WM_SESSION_QUERY, OnSessionQuery)
END_MESSAGE_MAP()

CProgramFrame::CProgramFrame(CWnd *pParent) : CSkinDialog(IDD_PROGRAM_PAGE, pParent, NULL)
{
}

void CProgramFrame::Bind(CAclPublisher *publisher, const CString &languagePath,
                         const CString &skinFolder)
{
    m_publisher = publisher;
    m_languagePath = languagePath;
    m_skinFolder = skinFolder;
}

void CProgramFrame::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LEVEL_HIGH, m_highMark);
    DDX_Control(pDX, IDC_LEVEL_MIDDLE, m_middleMark);
    DDX_Control(pDX, IDC_LEVEL_LOW, m_lowMark);
    DDX_Control(pDX, IDC_LEVEL_TEXT, m_levelText);
    DDX_Control(pDX, IDC_WEEK_CAPTION, m_weekCaption);
    DDX_Control(pDX, IDC_START_CAPTION, m_startCaption);
    DDX_Control(pDX, IDC_TIME_CAPTION, m_timeCaption);
    DDX_Control(pDX, IDC_END_CAPTION, m_endCaption);
    for (int schedule = 1; schedule <= SCHEDULE_COUNT; ++schedule)
        DDX_Control(pDX, IDC_SCHEDULE_1 + schedule - 1, ScheduleButton(schedule));
    DDX_Control(pDX, IDC_SCHEDULE_APPLY, m_applyButton);
    DDX_Control(pDX, IDC_LEVEL_SLIDER, m_levelSlider);
    DDX_Control(pDX, IDC_VIEW_GENERAL, m_generalButton);
    DDX_Control(pDX, IDC_VIEW_TIME, m_timeButton);
    DDX_Control(pDX, IDC_VIEW_PROGRAM, m_programButton);
    DDX_Control(pDX, IDC_RULE_GRID, m_ruleGrid);
    DDX_Control(pDX, IDC_WEEKDAY_SUNDAY, m_sunday);
    DDX_Control(pDX, IDC_WEEKDAY_MONDAY, m_monday);
    DDX_Control(pDX, IDC_WEEKDAY_TUESDAY, m_tuesday);
    DDX_Control(pDX, IDC_WEEKDAY_WEDNESDAY, m_wednesday);
    DDX_Control(pDX, IDC_WEEKDAY_THURSDAY, m_thursday);
    DDX_Control(pDX, IDC_WEEKDAY_FRIDAY, m_friday);
    DDX_Control(pDX, IDC_WEEKDAY_SATURDAY, m_saturday);
    DDX_DateTimeCtrl(pDX, IDC_START_TIME, m_startTime);
    DDX_DateTimeCtrl(pDX, IDC_END_TIME, m_endTime);
}

BOOL CProgramFrame::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_texts.SetSource(m_languagePath, "FRAME_PROGRAM", "APP", "APP_NAME");
    m_groupCaption.AttachDark(IDC_LEVEL_GROUP, this);
    m_groupCaption.m_bFramed = TRUE;

    m_levelSlider.SetRange(0, 2, FALSE);
    const BYTE storedLevel =
        m_publisher ? static_cast<BYTE>(atoi(m_publisher->RuleStore().GetConfig("ProgramLevel"))) : 0;
    m_levelSlider.SetPos(std::abs(2 - storedLevel));

    SetUpGrid();
    LoadSkin();
    LoadTexts();
    m_generalButton.ShowWindow(SW_HIDE);
    m_currentView = VIEW_PROGRAM;
    m_firstFillDue = !(GetStyle() & WS_VISIBLE);
    SelectView(VIEW_PROGRAM);
    return TRUE;
}

void CProgramFrame::LoadSkin()
{
    LoadPagePieces(m_skinFolder, "SubTitle_Left_PC.bmp");

    const struct { CSkinButton *button; LPCTSTR file; } buttons[] = {
        {&m_generalButton, "But_Prgm_General.bmp"},
        {&m_programButton, "But_Prgm_Program.bmp"},
        {&m_timeButton, "But_Prgm_Time.bmp"},
        {&m_schedule1, "But_Time_1.bmp"},
        {&m_schedule2, "But_Time_2.bmp"},
        {&m_schedule3, "But_Time_3.bmp"},
        {&m_schedule4, "But_Time_4.bmp"},
        {&m_schedule5, "But_Time_5.bmp"},
        {&m_schedule6, "But_Time_6.bmp"},
        {&m_schedule7, "But_Time_7.bmp"},
        {&m_applyButton, "But_Time_Apply.bmp"},
    };
    for (const auto &button : buttons)
        button.button->SetBitmap(m_skinFolder + button.file, 4, FALSE);

    m_ruleGrid.Header().LoadBackgrounds(m_skinFolder + "ListHead_Bk_Normal.bmp",
                                        m_skinFolder + "ListHead_Bk_Select.bmp");
    m_ruleGrid.Header().SetCellImage(5, m_skinFolder + "LockCell.bmp");
    m_ruleGrid.Header().SetCellImage(6, m_skinFolder + "OptionCell.bmp");
    // The cells' pictures are shared by every grid; this page loads them.
    LoadGridCellPictures(m_skinFolder);
}

void CProgramFrame::LoadTexts()
{
    const struct { UINT id; LPCTSTR key; } texts[] = {
        {IDC_VIEW_GENERAL, "BUT_Table_1"},   {IDC_VIEW_PROGRAM, "BUT_Table_2"},
        {IDC_VIEW_TIME, "BUT_Table_3"},      {IDC_LEVEL_GROUP, "GP_PROGRAM"},
        {IDC_LEVEL_HIGH, "L_LevHigh"},       {IDC_LEVEL_MIDDLE, "L_LevMiddle"},
        {IDC_LEVEL_LOW, "L_LevLower"},       {1021, "BUT_Time_1"},
        {1022, "BUT_Time_2"},                {1023, "BUT_Time_3"},
        {1024, "BUT_Time_4"},                {1025, "BUT_Time_5"},
        {1026, "BUT_Time_6"},                {1027, "BUT_Time_7"},
        {IDC_WEEK_CAPTION, "LAB_Week"},      {IDC_WEEKDAY_SUNDAY, "LAB_Week_7"},
        {IDC_WEEKDAY_MONDAY, "LAB_Week_1"},  {IDC_WEEKDAY_TUESDAY, "LAB_Week_2"},
        {IDC_WEEKDAY_WEDNESDAY, "LAB_Week_3"}, {IDC_WEEKDAY_THURSDAY, "LAB_Week_4"},
        {IDC_WEEKDAY_FRIDAY, "LAB_Week_5"},  {IDC_WEEKDAY_SATURDAY, "LAB_Week_6"},
        {IDC_TIME_CAPTION, "LAB_Time"},      {IDC_START_CAPTION, "LAB_Time_1"},
        {IDC_END_CAPTION, "LAB_Time_2"},
    };
    for (const auto &text : texts)
        SetDlgItemText(text.id, m_texts.GetText(text.key));
    SetLevelText(m_levelSlider.GetPos());
}

void CProgramFrame::SetLevelText(int position)
{
    const BYTE level = LevelOfPosition(position);
    LPCTSTR key = level == 0 ? "LEV_PROGRAM_L" : level == 1 ? "LEV_PROGRAM_M" : "LEV_PROGRAM_H";
    m_levelText.SetWindowText(m_texts.GetText(key));
}

// --- views -------------------------------------------------------------------

void CProgramFrame::OnViewGeneral()
{
    m_currentView = VIEW_GENERAL;
    SelectView(VIEW_GENERAL);
}

void CProgramFrame::OnViewTime()
{
    m_currentView = VIEW_TIME;
    SelectView(VIEW_TIME);
}

void CProgramFrame::OnViewProgram()
{
    m_currentView = VIEW_PROGRAM;
    SelectView(VIEW_PROGRAM);
}

// A schedule whose saving was refused keeps the Time view on screen.
void CProgramFrame::SelectView(int view)
{
    MarkView(view);
    m_ruleGrid.DeleteAllRows();
    if (!CheckLeavingSchedule()) {
        m_currentView = VIEW_TIME;
        MarkView(VIEW_TIME);
        return;
    }
    m_currentSchedule = 0;
    ShowViewControls(view);
    Invalidate(FALSE);
}

void CProgramFrame::MarkView(int view)
{
    m_generalButton.SetCheck(view == VIEW_GENERAL);
    m_programButton.SetCheck(view == VIEW_PROGRAM);
    m_timeButton.SetCheck(view == VIEW_TIME);
}

void CProgramFrame::ShowViewControls(int view)
{
    // A page made hidden fills first when it is shown.
    if (view == VIEW_PROGRAM && !(m_firstFillDue && !(GetStyle() & WS_VISIBLE)))
        FillProgramList();
    for (UINT id : GENERAL_CONTROLS)
        GetDlgItem(id)->ShowWindow(view == VIEW_GENERAL ? SW_SHOW : SW_HIDE);
    for (UINT id : TIME_CONTROLS)
        GetDlgItem(id)->ShowWindow(view == VIEW_TIME ? SW_SHOW : SW_HIDE);
    m_ruleGrid.ShowWindow(view == VIEW_PROGRAM ? SW_SHOW : SW_HIDE);
    if (view == VIEW_TIME) {
        m_applyButton.EnableButton(FALSE);
        LoadSchedule(1);
    }
}

void CProgramFrame::OnUnusedCommand()
{
}

// --- the level ---------------------------------------------------------------

void CProgramFrame::OnLevelReleased(NMHDR *, LRESULT *pResult)
{
    const int position = m_levelSlider.GetPos();
    const BYTE level = LevelOfPosition(position);
    if (m_publisher) {
        m_publisher->RuleStore().SetProgramLevel(level);
        // Without an image the level goes to the store only.
        if (AclHeader *header = m_publisher->GetHeader())
            header->ProgramLevel = level;
    }
    SetLevelText(position);
    Invalidate(FALSE);
    *pResult = 0;
}

// --- layout and painting -----------------------------------------------------

void CProgramFrame::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT);
}

LRESULT CProgramFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    if (client == m_lastLayout)
        return 0;
    m_lastLayout = client;
    const int W = client.Width(), H = client.Height();

    const int viewHeight = m_generalButton.m_nStateHeight;
    const int timeWidth = m_timeButton.m_nStateWidth;
    const int programWidth = m_programButton.m_nStateWidth;
    const int generalWidth = m_generalButton.m_nStateWidth;
    m_timeButton.MoveWindow(W - 5 - timeWidth, 1, timeWidth, viewHeight);
    m_programButton.MoveWindow(W - 5 - timeWidth - programWidth, 1, programWidth, viewHeight);
    m_generalButton.MoveWindow(W - 5 - timeWidth - programWidth - generalWidth, 1, generalWidth,
                               viewHeight);

    m_groupCaption.MoveWindow(10, 40, W - 22, 120);
    m_levelSlider.MoveWindow(30, 60, 40, 80);
    m_highMark.MoveWindow(70, 66, 16, 16);
    m_middleMark.MoveWindow(70, 93, 16, 16);
    m_lowMark.MoveWindow(70, 119, 16, 16);
    m_levelText.MoveWindow(100, 65, 400, 70);

    const int scheduleWidth = m_schedule1.m_nStateWidth;
    const int scheduleHeight = m_schedule1.m_nStateHeight;
    for (int schedule = 1; schedule <= SCHEDULE_COUNT; ++schedule)
        ScheduleButton(schedule).MoveWindow(10, 35 + (schedule - 1) * scheduleHeight,
                                            scheduleWidth, scheduleHeight);
    m_weekCaption.MoveWindow(120, 50, 100, 18);
    // Each day's cell as wide as its column allows, so that the longest
    // names ("Thursday", "Saturday", "Wednesday") show whole.
    m_sunday.MoveWindow(140, 80, 76, 18);
    m_monday.MoveWindow(220, 80, 76, 18);
    m_tuesday.MoveWindow(300, 80, 76, 18);
    m_wednesday.MoveWindow(380, 80, 90, 18);
    m_thursday.MoveWindow(140, 105, 76, 18);
    m_friday.MoveWindow(220, 105, 76, 18);
    m_saturday.MoveWindow(300, 105, 76, 18);
    m_timeCaption.MoveWindow(120, 150, 250, 18);
    m_startCaption.MoveWindow(140, 180, 60, 16);
    GetDlgItem(IDC_START_TIME)->MoveWindow(205, 177, 100, 20);
    m_endCaption.MoveWindow(140, 207, 60, 16);
    GetDlgItem(IDC_END_TIME)->MoveWindow(205, 204, 100, 20);
    m_applyButton.MoveWindow(400, 254, m_applyButton.m_nStateWidth, m_applyButton.m_nStateHeight);

    m_ruleGrid.MoveWindow(10, 35, W - 20, H - 45);
    Invalidate(FALSE);
    return 0;
}

void CProgramFrame::OnPaint()
{
    CPaintDC dc(this);
    CMemoryDC memory(&dc);
    DrawTop(&memory);
    DrawClient(&memory);
    m_levelSlider.SaveBackground(&memory, 30, 60, 70, 140);
}

BOOL CProgramFrame::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

// --- boxes -------------------------------------------------------------------

int CProgramFrame::AskBox(const CString &text, UINT type)
{
    return MessageBox(text, m_texts.GetAppName(), type);
}
