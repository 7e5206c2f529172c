// The page as a whole: controls, pictures and texts, the tabs, the layout
// and the painting, the clear timer and the live packet lines.
#include "LogsFrame.h"

#include "ConsoleMessages.h"
#include "PacketLogEntry.h"

#include <CPaintDC.h>
#include <DataExchange.h>
#include <Formatting.h>
#include <MemoryDC.h>
#include <ProgramsRuleLib.h>
#include <FileInfo.h>

#include <commctrl.h>
#include <cstring>

namespace {

const UINT PROGRAM_TAB_CONTROLS[] = {IDC_PROGRAM_LOG_GRID, IDC_WINDOW_START, IDC_WINDOW_END,
                                     IDC_LOGS_PROGRAM, IDC_LOGS_ACTION, IDC_LOGS_QUERY};

// The program's path: the last of the cells AddLogRow fills.
const int kProgramLogPathColumn = 9;

// The dates whose day window the log's unsigned 32-bit times can hold in
// every time zone.
const SYSTEMTIME FIRST_DAY = {1970, 1, 5, 2, 0, 0, 0, 0};
const SYSTEMTIME LAST_DAY = {2038, 1, 0, 17, 23, 59, 59, 0};

} // namespace

BEGIN_MESSAGE_MAP(CLogsFrame, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_LOGS_FIREWALL_TAB, OnFirewallTab)
    ON_BN_CLICKED(IDC_LOGS_PROGRAMS_TAB, OnProgramsTab)
    ON_BN_CLICKED(IDC_LOGS_QUERY, OnQuery)
    ON_COMMAND(ID_LOGS_DELETE, OnDeleteSelected)
    ON_COMMAND(ID_LOGS_DELETE_PAGE, OnDeletePage)
    ON_COMMAND(ID_LOGS_DELETE_ALL, OnCleanAll)
    ON_COMMAND(ID_LOGS_CLEAN_LIST, OnCleanList)
    ON_NOTIFY(NM_CLICK, IDC_PROGRAM_LOG_GRID, OnListClick)
    ON_NOTIFY(NM_RCLICK, IDC_PROGRAM_LOG_GRID, OnListRClick)
    ON_MESSAGE(WM_PACKET_LOGGED, OnPacketLogged)
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
END_MESSAGE_MAP()

CLogsFrame::CLogsFrame(CWnd *pParent)
    : CSkinDialog(IDD_LOGS_PAGE, pParent, NULL),
      m_windowEnd(CTime::GetCurrentTime()),
      m_windowStart(CTime::GetCurrentTime())
{
}

void CLogsFrame::Bind(CProgramLogs *logs, CProgramsRuleLib *rules, const CString &languagePath,
                      const CString &skinFolder)
{
    m_logs = logs;
    m_rules = rules;
    m_languagePath = languagePath;
    m_skinFolder = skinFolder;
}

void CLogsFrame::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGS_PROGRAM, m_programCombo);
    DDX_Control(pDX, IDC_LOGS_ACTION, m_actionCombo);
    DDX_Control(pDX, IDC_PROGRAM_LOG_GRID, m_programLogGrid);
    DDX_Control(pDX, IDC_FIREWALL_GRID, m_firewallGrid);
    DDX_Control(pDX, IDC_LOGS_PROGRAMS_TAB, m_programsButton);
    DDX_Control(pDX, IDC_LOGS_FIREWALL_TAB, m_firewallButton);
    DDX_Control(pDX, IDC_LOGS_QUERY, m_queryButton);
    DDX_DateTimeCtrl(pDX, IDC_WINDOW_END, m_windowEnd);
    DDX_DateTimeCtrl(pDX, IDC_WINDOW_START, m_windowStart);
}

BOOL CLogsFrame::OnInitDialog()
{
    const SYSTEMTIME range[2] = {FIRST_DAY, LAST_DAY};
    for (UINT id : {IDC_WINDOW_START, IDC_WINDOW_END})
        ::SendMessage(::GetDlgItem(m_hWnd, id), DTM_SETRANGE, GDTR_MIN | GDTR_MAX,
                      reinterpret_cast<LPARAM>(range));
    CSkinDialog::OnInitDialog();
    LoadSkin();
    m_texts.SetSource(m_languagePath, "FRAME_LOGS", "APP", "APP_NAME");
    InitLists();
    m_currentTab = TAB_FIREWALL;
    SelectTab(TAB_FIREWALL);
    m_programIcons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 50);
    m_programLogGrid.SendMessage(LVM_SETIMAGELIST, LVSIL_NORMAL,
                                 reinterpret_cast<LPARAM>(m_programIcons.GetSafeHandle()));
    return TRUE;
}

void CLogsFrame::LoadSkin()
{
    LoadPagePieces(m_skinFolder, "SubTitle_Left_Logs.bmp");
    m_arrow.Load(m_skinFolder + "arrow.bmp");
    m_firewallButton.SetBitmap(m_skinFolder + "But_LOG_Firewall.bmp", 4, FALSE);
    m_programsButton.SetBitmap(m_skinFolder + "But_LOG_Programs.bmp", 4, FALSE);
    m_queryButton.SetBitmap(m_skinFolder + "But_Go.bmp", 3, TRUE);
}

void CLogsFrame::InitLists()
{
    const struct { CGridList *grid; LPCTSTR key; } grids[] = {
        {&m_firewallGrid, "LIST_FIREWALL_HEAD"},
        {&m_programLogGrid, "LIST_PROGRAMS_HEAD"},
    };
    for (const auto &grid : grids) {
        grid.grid->SetExtendedStyle(grid.grid->GetExtendedStyle() | LVS_EX_FULLROWSELECT |
                                    LVS_EX_GRIDLINES);
        grid.grid->SetColumns(m_texts.GetText(grid.key));
        grid.grid->Header().LoadBackgrounds(m_skinFolder + "ListHead_Bk_Normal.bmp",
                                            m_skinFolder + "ListHead_Bk_Select.bmp");
    }
    m_programLogGrid.Header().ShowPathsIn(kProgramLogPathColumn);
    const struct { LPCTSTR key; BYTE value; } actions[] = {
        {"T_Action_All", 255}, {"T_Action_Pass", 0}, {"T_Action_Deny", 2}};
    for (const auto &action : actions) {
        const int item = m_actionCombo.AddString(m_texts.GetText(action.key));
        m_actionCombo.SetItemData(item, action.value);
    }
    m_passText = m_texts.GetText("T_Pass");
    m_denyText = m_texts.GetText("T_Deny");
}

// --- tabs ----------------------------------------------------------------------

void CLogsFrame::OnFirewallTab()
{
    m_currentTab = TAB_FIREWALL;
    SelectTab(TAB_FIREWALL);
}

void CLogsFrame::OnProgramsTab()
{
    m_currentTab = TAB_PROGRAMS;
    SelectTab(TAB_PROGRAMS);
}

void CLogsFrame::SelectTab(int tab)
{
    PostMessage(WM_DEFERRED_LAYOUT);
    m_firewallButton.SetCheck(tab == TAB_FIREWALL);
    m_programsButton.SetCheck(tab == TAB_PROGRAMS);
    const int programs = tab == TAB_PROGRAMS ? SW_SHOW : SW_HIDE;
    m_firewallGrid.ShowWindow(tab == TAB_FIREWALL ? SW_SHOW : SW_HIDE);
    for (UINT id : PROGRAM_TAB_CONTROLS)
        GetDlgItem(id)->ShowWindow(programs);
    if (tab == TAB_PROGRAMS) {
        FillProgramCombo();
        m_programCombo.SetCurSel(0);
        m_actionCombo.SetCurSel(0);
    } else {
        EmptyProgramCombo();
    }
    Invalidate(FALSE);
}

void CLogsFrame::EmptyProgramCombo()
{
    while (m_programCombo.GetCount() > 0)
        m_programCombo.DeleteString(0);
}

void CLogsFrame::FillProgramCombo()
{
    EmptyProgramCombo();
    m_programCombo.SetItemData(m_programCombo.AddString(m_texts.GetText("T_Program_All")),
                               0xFFFFFFFF);
    std::vector<RuleRecord> rules;
    if (m_rules)
        m_rules->LoadRules(rules);
    for (const RuleRecord &rule : rules) {
        CFileInfo info;
        CString name;
        if (info.Read(rule.Path) == CFileInfo::READ_OK) {
            name = info.GetDescription();
        } else {
            const int slash = rule.Path.ReverseFind('\\');
            name = rule.Path.Mid(slash + 1);
        }
        m_programCombo.SetItemData(m_programCombo.AddString(name), rule.ID);
    }
}

// --- layout and painting -------------------------------------------------------

void CLogsFrame::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT);
}

LRESULT CLogsFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();
    const int programsWidth = m_programsButton.m_nStateWidth;
    const int firewallWidth = m_firewallButton.m_nStateWidth;
    const int tabHeight = m_programsButton.m_nStateHeight;
    m_programsButton.MoveWindow(W - 5 - programsWidth, 1, programsWidth, tabHeight);
    m_firewallButton.MoveWindow(W - 5 - programsWidth - firewallWidth, 1, firewallWidth, tabHeight);
    if (m_currentTab == TAB_FIREWALL) {
        m_firewallGrid.MoveWindow(10, 35, W - 20, H - 45);
    } else {
        GetDlgItem(IDC_WINDOW_START)->MoveWindow(10, 35, 95, 22);
        GetDlgItem(IDC_WINDOW_END)->MoveWindow(125, 35, 95, 22);
        m_programCombo.MoveWindow(225, 35, 160, 22);
        m_actionCombo.MoveWindow(390, 35, 95, 22);
        m_queryButton.MoveWindow(490, 35, m_queryButton.m_nStateWidth, m_queryButton.m_nStateHeight);
        m_programLogGrid.MoveWindow(10, 60, W - 20, H - 70);
    }
    Invalidate(FALSE);
    return 0;
}

void CLogsFrame::OnPaint()
{
    CPaintDC dc(this);
    CMemoryDC memory(&dc);
    DrawTop(&memory);
    DrawClient(&memory);
    if (m_currentTab == TAB_PROGRAMS)
        m_arrow.DrawMasked(107, 36, &memory);
}

BOOL CLogsFrame::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

// --- the clear timer -----------------------------------------------------------

void CLogsFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CSkinDialog::OnShowWindow(bShow, nStatus);
    if (bShow) {
        if (m_clearTimer) {
            KillTimer(m_clearTimer);
            m_clearTimer = 0;
        }
    } else if (!m_clearTimer) {
        m_clearTimer = SetTimer(CLEAR_TIMER, CLEAR_DELAY_MS);
    }
}

void CLogsFrame::OnTimer(UINT nIDEvent)
{
    if (nIDEvent != CLEAR_TIMER)
        return;
    ClearProgramList();
    KillTimer(m_clearTimer);
    m_clearTimer = 0;
}

// --- live packet lines ---------------------------------------------------------

LRESULT CLogsFrame::OnPacketLogged(WPARAM wParam, LPARAM)
{
    // Any process can send this message number: only the monitor's own
    // entry is read.
    const PacketLogEntry *entry = ThePacketLogEntry();
    if (wParam != reinterpret_cast<WPARAM>(entry))
        return 0;
    if (m_firewallGrid.GetItemCount() >= MAX_FIREWALL_LINES)
        m_firewallGrid.DeleteRow(0);
    CString port;
    port.Format("%d", entry->LocalPort);
    const CString flags(entry->FlagText,
                        static_cast<int>(strnlen(entry->FlagText, PACKET_FLAG_TEXT_MAX)));
    m_firewallGrid.AddRow({CTime(static_cast<__time64_t>(entry->Time)).Format("%H:%M:%S"),
                           IpToText(&entry->RemoteIp), port, ProtocolName(entry->Protocol),
                           ActionText(entry->Action), flags});
    return 0;
}

CString CLogsFrame::ActionText(BYTE action) const
{
    return action == 0 ? m_passText : m_denyText;
}
