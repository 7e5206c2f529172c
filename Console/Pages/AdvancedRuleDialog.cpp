#include "AdvancedRuleDialog.h"

#include "AclPublisher.h"
#include "ConsoleMessages.h"
#include "LoggedOnRefusal.h"

#include <SkinPalette.h>
#include <CPaintDC.h>
#include <DataExchange.h>
#include <MemoryDC.h>
#include <PortList.h>
#include <SafeFormat.h>

namespace {

const int SCHEDULE_COUNT = 7;
// A port edit holds at most five digits.
const int PORT_DIGITS = 5;
const int RANGE_FONT_HEIGHT = -10;

// The controls that only a range shows, and those that only a list shows.
const UINT RANGE_CONTROLS[] = {IDC_ADV_RANGE_FRAME, IDC_ADV_RANGE_FROM_LABEL,
                               IDC_ADV_RANGE_TO_LABEL, IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO};
const UINT LIST_CONTROLS[] = {IDC_ADV_PORT_LIST_EDIT};

// A typed range port: never wrapped to 16 bits, so a number past the last
// port is the last port.
WORD RangePort(int typed)
{
    if (typed < 0)
        return 0;
    return static_cast<WORD>(typed > 65535 ? 65535 : typed);
}

} // namespace

BEGIN_MESSAGE_MAP(CAdvancedRuleDialog, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_BN_CLICKED(IDC_ADV_INTERNET_TAB, OnInternetTab)
    ON_BN_CLICKED(IDC_ADV_TRUSTED_TAB, OnTrustedTab)
    ON_STN_CLICKED(IDC_ADV_TCP_ACCESS, OnTcpAccess)
    ON_STN_CLICKED(IDC_ADV_TCP_SERVER, OnControlChanged)
    ON_STN_CLICKED(IDC_ADV_UDP_ACCESS, OnControlChanged)
    ON_STN_CLICKED(IDC_ADV_UDP_SERVER, OnControlChanged)
    ON_CBN_SELCHANGE(IDC_ADV_SCHEDULE, OnControlChanged)
    ON_EN_CHANGE(IDC_ADV_RANGE_FROM, OnControlChanged)
    ON_EN_CHANGE(IDC_ADV_RANGE_TO, OnControlChanged)
    ON_EN_CHANGE(IDC_ADV_PORT_LIST_EDIT, OnControlChanged)
    ON_STN_CLICKED(IDC_ADV_ACTION_QUERY, OnQueryAction)
    ON_STN_CLICKED(IDC_ADV_ACTION_DENY, OnDenyAction)
    ON_CONTROL_RANGE(STN_CLICKED, IDC_ADV_PORT_ALL, IDC_ADV_PORT_LIST, OnPortTypeClicked)
    ON_BN_CLICKED(IDC_ADV_APPLY, OnApply)
    ON_BN_CLICKED(IDC_ADV_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CAdvancedRuleDialog::CAdvancedRuleDialog(CAclPublisher *publisher, const CString &languagePath,
                                         const CString &skinFolder)
    : CSkinDialog(IDD_ADVANCED_RULE, NULL, NULL), m_publisher(publisher),
      m_languagePath(languagePath), m_skinFolder(skinFolder)
{
    // Until a zone is read: asks, and allows nothing else.
    m_working.AdvAction = 1;
    m_saved.AdvAction = 1;
}

void CAdvancedRuleDialog::SetRule(DWORD ruleId, const CString &programName)
{
    m_ruleId = ruleId;
    m_programName = programName;
}

void CAdvancedRuleDialog::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADV_SCHEDULE, m_schedule);
    DDX_Control(pDX, IDC_ADV_APPLY, m_applyButton);
    DDX_Control(pDX, IDCANCEL, m_cancelButton);
    DDX_Control(pDX, IDOK, m_okButton);
    DDX_Control(pDX, IDC_ADV_TRUSTED_TAB, m_trustedTab);
    DDX_Control(pDX, IDC_ADV_INTERNET_TAB, m_internetTab);
    DDX_Control(pDX, IDC_ADV_HELP, m_helpButton);
    DDX_Control(pDX, IDC_ADV_MINIMIZE, m_minimizeButton);
    DDX_Control(pDX, IDC_ADV_CLOSE, m_closeButton);
    DDX_Control(pDX, IDC_ADV_TITLE, m_title);
    DDX_Control(pDX, IDC_ADV_INFO, m_info);
    DDX_Control(pDX, IDC_ADV_RANGE_FROM_LABEL, m_fromLabel);
    DDX_Control(pDX, IDC_ADV_RANGE_TO_LABEL, m_toLabel);
    DDX_Control(pDX, IDC_ADV_ACTION_QUERY, m_queryAction);
    DDX_Control(pDX, IDC_ADV_ACTION_DENY, m_denyAction);
    DDX_Control(pDX, IDC_ADV_PORT_ALL, m_allPorts);
    DDX_Control(pDX, IDC_ADV_PORT_RANGE, m_portRange);
    DDX_Control(pDX, IDC_ADV_PORT_LIST, m_portList);
    DDX_Control(pDX, IDC_ADV_UDP_SERVER, m_udpServer);
    DDX_Control(pDX, IDC_ADV_TCP_SERVER, m_tcpServer);
    DDX_Control(pDX, IDC_ADV_UDP_ACCESS, m_udpAccess);
    DDX_Control(pDX, IDC_ADV_TCP_ACCESS, m_tcpAccess);
    DDX_Text(pDX, IDC_ADV_RANGE_TO, m_rangeTo);
    DDX_Text(pDX, IDC_ADV_RANGE_FROM, m_rangeFrom);
    DDX_Text(pDX, IDC_ADV_PORT_LIST_EDIT, m_portListText);
}

BOOL CAdvancedRuleDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_bCaptionDrag = TRUE;
    m_bResize = FALSE;
    SetWindowPos(NULL, 0, 0, WIDTH, HEIGHT, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow(CWnd::FromHandle(::GetDesktopWindow()));
    LoadSkin();
    m_texts.SetSource(m_languagePath, "DLG_ADV_OPTION", "APP", "APP_NAME");
    ModifyStyle(0, WS_POPUP | WS_MINIMIZEBOX);

    m_title.SetLabelFont("Arial", -14, FW_BOLD, FALSE, FALSE, FALSE);
    m_title.SetTextColor(SkinPalette::BandTitleText);
    const struct { CSkinLabel *caption; UINT id; } groups[] = {
        {&m_protocolGroup, IDC_ADV_PROTOCOL_GROUP}, {&m_portGroup, IDC_ADV_PORT_GROUP},
        {&m_rangeFrame, IDC_ADV_RANGE_FRAME},       {&m_timeGroup, IDC_ADV_TIME_GROUP},
        {&m_actionGroup, IDC_ADV_ACTION_GROUP},
    };
    for (const auto &group : groups) {
        group.caption->AttachDark(group.id, this);
        group.caption->m_bFramed = TRUE;
    }
    SetTexts();
    SetUpRangeEdits();
    PostMessage(WM_DEFERRED_LAYOUT, 0, 0);

    for (CSkinCheckBox *box : {&m_queryAction, &m_denyAction, &m_allPorts, &m_portRange, &m_portList})
        box->m_nMode = 1;
    SettingsToControls();
    // The zone's port type may take the focus to its edit.
    SelectZone(ZONE_INTERNET);
    return FALSE;
}

// The range edits and their labels are narrow: five digits and "From"
// fit them in a smaller face.
void CAdvancedRuleDialog::SetUpRangeEdits()
{
    LOGFONT face = {};
    face.lfHeight = RANGE_FONT_HEIGHT;
    face.lfWeight = FW_NORMAL;
    lstrcpynA(face.lfFaceName, "Arial", LF_FACESIZE);
    m_rangeFont.CreateFontIndirect(&face);
    for (UINT id : {IDC_ADV_RANGE_FROM, IDC_ADV_RANGE_TO}) {
        SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(m_rangeFont.GetSafeHandle()), FALSE);
        SendDlgItemMessage(id, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
        SendDlgItemMessage(id, EM_LIMITTEXT, PORT_DIGITS, 0);
    }
    m_fromLabel.SetLabelFont("Arial", RANGE_FONT_HEIGHT, FW_NORMAL, FALSE, FALSE, FALSE);
    m_toLabel.SetLabelFont("Arial", RANGE_FONT_HEIGHT, FW_NORMAL, FALSE, FALSE, FALSE);
}

void CAdvancedRuleDialog::LoadSkin()
{
    const struct { CSkinBitmap *piece; LPCTSTR file; } pieces[] = {
        {&m_titleLeft, "Title2_Left.bmp"},
        {&m_titleMiddle, "Title_Mid.bmp"},
        {&m_titleRight, "Title_Right.bmp"},
        {&m_bottomLeft, "AdvOptDlg_Bottom_Left.bmp"},
        {&m_bottomMiddle, "AdvOptDlg_Bottom_Mid.bmp"},
        {&m_bottomRight, "AdvOptDlg_Bottom_Right.bmp"},
        {&m_leftBorder, "Left.bmp"},
        {&m_rightBorder, "Right.bmp"},
        {&m_clientFill, "SubFram.bmp"},
        {&m_clientTopLeft, "AdvOptDlg_ClientTop_Left.bmp"},
        {&m_clientTopMiddle, "AdvOptDlg_ClientTop_Mid.bmp"},
        {&m_clientTopRight, "AdvOptDlg_ClientTop_Right.bmp"},
        {&m_clientBottomLeft, "AdvOptDlg_ClientBottom_Left.bmp"},
        {&m_clientBottomMiddle, "AdvOptDlg_ClientBottom_Mid.bmp"},
        {&m_clientBottomRight, "AdvOptDlg_ClientBottom_Right.bmp"},
        {&m_clientLeft, "AdvOptDlg_ClientLeft.bmp"},
        {&m_clientRight, "AdvOptDlg_ClientRight.bmp"},
    };
    for (const auto &piece : pieces)
        piece.piece->Load(m_skinFolder + piece.file);

    const struct { CSkinButton *button; LPCTSTR file; int states; } buttons[] = {
        {&m_closeButton, "Close.bmp", 3},
        {&m_minimizeButton, "Min.bmp", 3},
        {&m_helpButton, "Help.bmp", 3},
        {&m_internetTab, "AdvOptDlg_ButTableInet.bmp", 4},
        {&m_trustedTab, "AdvOptDlg_ButTableTnet.bmp", 4},
        {&m_okButton, "But_Ok.bmp", 3},
        {&m_applyButton, "But_Apply.bmp", 4},
        {&m_cancelButton, "But_Cancel.bmp", 3},
    };
    for (const auto &button : buttons)
        button.button->SetBitmap(m_skinFolder + button.file, button.states, FALSE);
}

void CAdvancedRuleDialog::SetTexts()
{
    const struct { UINT id; LPCTSTR key; } texts[] = {
        {IDC_ADV_TITLE, "LB_Title"},
        {IDC_ADV_PROTOCOL_GROUP, "GP_PROTOCOL"},
        {IDC_ADV_TCP_ACCESS, "LB_TCP_ACCESS"},
        {IDC_ADV_TCP_SERVER, "LB_TCP_SERVER"},
        {IDC_ADV_UDP_ACCESS, "LB_UDP_ACCESS"},
        {IDC_ADV_UDP_SERVER, "LB_UDP_SERVER"},
        {IDC_ADV_PORT_GROUP, "GP_PORT"},
        {IDC_ADV_PORT_ALL, "LB_PORT_ALL"},
        {IDC_ADV_PORT_RANGE, "LB_PORT_RANGE"},
        {IDC_ADV_PORT_LIST, "LB_PORT_LIST"},
        {IDC_ADV_TIME_GROUP, "GP_TIME"},
        {IDC_ADV_ACTION_GROUP, "GP_DEFAULT"},
        {IDC_ADV_ACTION_QUERY, "LB_ACT_QUERY"},
        {IDC_ADV_ACTION_DENY, "LB_ACT_DENY"},
    };
    for (const auto &text : texts)
        SetDlgItemText(text.id, m_texts.GetText(text.key));
    for (int schedule = 1; schedule <= SCHEDULE_COUNT; ++schedule) {
        CString key;
        key.Format("CMB_Time_%d", schedule);
        m_schedule.InsertString(schedule - 1, m_texts.GetText(key));
    }
}

// --- the settings and the controls ------------------------------------------------

void CAdvancedRuleDialog::SetCheck(CSkinCheckBox &box, BOOL checked)
{
    box.m_bChecked = checked;
    box.Invalidate(TRUE);
}

void CAdvancedRuleDialog::SettingsToControls()
{
    m_showingSettings = TRUE;
    SetCheck(m_tcpAccess, m_working.TcpAccess != 0);
    SetCheck(m_tcpServer, m_working.TcpServer != 0);
    SetCheck(m_udpAccess, m_working.UdpAccess != 0);
    SetCheck(m_udpServer, m_working.UdpServer != 0);
    SetCheck(m_allPorts, m_working.PortType == PORT_RULE_NONE);
    SetCheck(m_portRange, m_working.PortType == PORT_RULE_RANGE);
    SetCheck(m_portList, m_working.PortType == PORT_RULE_LIST);
    if (m_working.PortType == PORT_RULE_RANGE) {
        m_rangeFrom = m_working.Ports[0];
        m_rangeTo = m_working.Ports[1];
    } else if (m_working.PortType == PORT_RULE_LIST) {
        m_portListText.Empty();
        for (int i = 0; i < NET_RULE_PORT_COUNT && m_working.Ports[i] != 0; ++i) {
            CString line;
            line.Format("%d\r\n", m_working.Ports[i]);
            m_portListText += line;
        }
    }
    // A TimeID of 0 selects no schedule.
    m_schedule.SetCurSel(static_cast<int>(m_working.TimeID) - 1);
    SetCheck(m_queryAction, m_working.AdvAction == 1);
    SetCheck(m_denyAction, m_working.AdvAction == 2);
    RepaintUnder(m_info);
    RepaintUnder(m_portGroup);
    UpdateData(FALSE);
    m_showingSettings = FALSE;
}

void CAdvancedRuleDialog::ControlsToSettings()
{
    UpdateData(TRUE);
    m_working.TcpAccess = m_tcpAccess.m_bChecked ? 1 : 0;
    m_working.TcpServer = m_tcpServer.m_bChecked ? 1 : 0;
    m_working.UdpAccess = m_udpAccess.m_bChecked ? 1 : 0;
    m_working.UdpServer = m_udpServer.m_bChecked ? 1 : 0;
    const int schedule = m_schedule.GetCurSel();
    m_working.TimeID = static_cast<BYTE>(schedule < 0 ? 0 : schedule + 1);
    m_working.AdvAction = m_queryAction.m_bChecked ? 1 : 2;
    for (WORD &port : m_working.Ports)
        port = 0;
    if (m_allPorts.m_bChecked) {
        m_working.PortType = PORT_RULE_NONE;
    } else if (m_portRange.m_bChecked) {
        m_working.PortType = PORT_RULE_RANGE;
        // A range from 0 would be stored as no port at all.
        const WORD first = RangePort(m_rangeFrom);
        m_working.Ports[0] = first == 0 ? 1 : first;
        m_working.Ports[1] = RangePort(m_rangeTo);
    } else if (m_portList.m_bChecked) {
        m_working.PortType = PORT_RULE_LIST;
        // Lines that are no port are dropped like empty ones.
        ParsePortList(PORT_RULE_LIST, m_portListText, m_working.Ports);
    }
    RepaintUnder(m_portGroup);
}

void CAdvancedRuleDialog::RememberSaved()
{
    m_saved = m_working;
    if (m_saved.PortType == PORT_RULE_NONE) {
        for (WORD &port : m_saved.Ports)
            port = 0;
    }
}

void CAdvancedRuleDialog::ChangeStep()
{
    ControlsToSettings();
    m_applyButton.EnableButton(m_working != m_saved);
}

void CAdvancedRuleDialog::ShowPortType(BYTE portType)
{
    SetCheck(m_allPorts, portType == PORT_RULE_NONE);
    SetCheck(m_portRange, portType == PORT_RULE_RANGE);
    SetCheck(m_portList, portType == PORT_RULE_LIST);
    for (UINT id : RANGE_CONTROLS)
        GetDlgItem(id)->ShowWindow(portType == PORT_RULE_RANGE ? SW_SHOW : SW_HIDE);
    for (UINT id : LIST_CONTROLS)
        GetDlgItem(id)->ShowWindow(portType == PORT_RULE_LIST ? SW_SHOW : SW_HIDE);
    if (portType == PORT_RULE_RANGE)
        GetDlgItem(IDC_ADV_RANGE_FROM)->SetFocus();
    else if (portType == PORT_RULE_LIST)
        GetDlgItem(IDC_ADV_PORT_LIST_EDIT)->SetFocus();
}

void CAdvancedRuleDialog::EnablePortGroup()
{
    const BOOL enable = m_working.TcpAccess != 0;
    m_allPorts.EnableCheck(enable);
    m_portRange.EnableCheck(enable);
    m_portList.EnableCheck(enable);
    for (UINT id : RANGE_CONTROLS)
        GetDlgItem(id)->EnableWindow(enable);
    for (UINT id : LIST_CONTROLS)
        GetDlgItem(id)->EnableWindow(enable);
    // A static draws itself greyed when switched; the labels are drawn again
    // over a fresh background.
    m_portGroup.EnableWindow(enable);
    for (CSkinLabel *label : {&m_portGroup, &m_rangeFrame, &m_fromLabel, &m_toLabel})
        RepaintUnder(*label);
}

// A label is drawn over what lies behind it: that is painted again first.
void CAdvancedRuleDialog::RepaintUnder(CWnd &control)
{
    CRect rect;
    control.GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect, FALSE);
    control.Invalidate(TRUE);
}

// --- zones and saving --------------------------------------------------------------

// Every edit of the user has run the change step, so the working settings
// hold them. The controls are not read again here: a stored value they
// cannot show (an action that lets everything pass) would read back as
// another and be asked about, or saved, without the user changing anything.
void CAdvancedRuleDialog::SelectZone(int zone)
{
    if (m_working != m_saved &&
        MessageBox(m_texts.GetText("AdvOption_Changed"), m_texts.GetAppName(),
                   MB_YESNO | MB_ICONINFORMATION) == IDYES)
        Apply();

    m_internetTab.EnableButton(zone != ZONE_INTERNET);
    m_trustedTab.EnableButton(zone != ZONE_TRUSTED);
    // A rule the store no longer has shows the settings of a new dialog,
    // not those of the other zone.
    NetRuleSettings read;
    read.AdvAction = 1;
    if (m_publisher) {
        if (zone == ZONE_INTERNET)
            m_publisher->RuleStore().GetInetSettings(m_ruleId, read);
        else
            m_publisher->RuleStore().GetTnetSettings(m_ruleId, read);
    }
    m_working = read;
    RememberSaved();
    LPCTSTR titleKey = zone == ZONE_INTERNET ? "TITLE_INET" : "TITLE_TNET";
    m_info.SetWindowText(SafeFormat(m_texts.GetText(titleKey), {m_programName}));

    m_zone = zone;
    m_applyButton.EnableButton(FALSE);
    SettingsToControls();
    ShowPortType(m_working.PortType);
    EnablePortGroup();
    KeepFocusInside();
}

// The tab just clicked, or an edit the zone switched off, may have taken
// the keyboard focus with it; the keys then go to OK.
void CAdvancedRuleDialog::KeepFocusInside()
{
    HWND focus = ::GetFocus();
    // The control's own style: the dialog itself is not shown yet at first.
    const BOOL shown = focus && (::GetWindowLongA(focus, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!shown || !::IsChild(m_hWnd, focus) || !::IsWindowEnabled(focus))
        GotoDlgCtrl(&m_okButton);
}

void CAdvancedRuleDialog::Apply()
{
    if (RefuseWhileLoggedOff(m_hWnd, m_texts))
        return;
    if (m_publisher) {
        if (m_zone == ZONE_INTERNET)
            m_publisher->SetInternetSettings(m_ruleId, m_working);
        else
            m_publisher->SetTrustedSettings(m_ruleId, m_working);
    }
    RememberSaved();
    m_applyButton.EnableButton(FALSE);
}

void CAdvancedRuleDialog::OnOK()
{
    if (m_working != m_saved)
        Apply();
    EndDialog(IDOK);
}

// --- handlers ------------------------------------------------------------------------

void CAdvancedRuleDialog::OnInternetTab()
{
    SelectZone(ZONE_INTERNET);
}

void CAdvancedRuleDialog::OnTrustedTab()
{
    SelectZone(ZONE_TRUSTED);
}

void CAdvancedRuleDialog::OnTcpAccess()
{
    ChangeStep();
    EnablePortGroup();
    KeepFocusInside();
}

void CAdvancedRuleDialog::OnControlChanged()
{
    if (!m_showingSettings)
        ChangeStep();
}

void CAdvancedRuleDialog::OnQueryAction()
{
    SetCheck(m_denyAction, !m_queryAction.m_bChecked);
    ChangeStep();
}

void CAdvancedRuleDialog::OnDenyAction()
{
    SetCheck(m_queryAction, !m_denyAction.m_bChecked);
    ChangeStep();
}

void CAdvancedRuleDialog::OnPortTypeClicked(UINT id)
{
    ShowPortType(static_cast<BYTE>(id - IDC_ADV_PORT_ALL));
    ChangeStep();
}

void CAdvancedRuleDialog::OnApply()
{
    Apply();
}

void CAdvancedRuleDialog::OnCloseButton()
{
    CSkinDialog::OnCancel();
}

// --- layout and painting ---------------------------------------------------------

LRESULT CAdvancedRuleDialog::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width();

    m_title.MoveWindow(30, 5, 200, 18);
    const int w = m_closeButton.m_nStateWidth, h = m_closeButton.m_nStateHeight;
    m_closeButton.MoveWindow(W - w - 8, 6, w, h);
    m_minimizeButton.MoveWindow(W - 2 * w - 9, 6, w, h);
    m_helpButton.MoveWindow(W - 3 * w - 10, 6, w, h);

    const int tw = m_internetTab.m_nStateWidth, th = m_internetTab.m_nStateHeight;
    m_internetTab.MoveWindow(30, 40, tw, th);
    m_trustedTab.MoveWindow(31 + tw, 40, tw, th);
    m_info.MoveWindow(25, 75, 350, 32);

    const struct { UINT id; int x, y, width, height; } places[] = {
        {IDC_ADV_PROTOCOL_GROUP, 25, 113, 170, 105},  {IDC_ADV_TCP_ACCESS, 35, 135, 160, 16},
        {IDC_ADV_TCP_SERVER, 35, 155, 160, 16},       {IDC_ADV_UDP_ACCESS, 35, 175, 160, 16},
        {IDC_ADV_UDP_SERVER, 35, 195, 160, 16},       {IDC_ADV_PORT_GROUP, 205, 113, 170, 105},
        {IDC_ADV_PORT_ALL, 215, 135, 75, 16},         {IDC_ADV_PORT_RANGE, 215, 165, 75, 16},
        {IDC_ADV_PORT_LIST, 215, 195, 75, 16},        {IDC_ADV_RANGE_FRAME, 290, 145, 79, 65},
        {IDC_ADV_RANGE_FROM_LABEL, 295, 157, 30, 16}, {IDC_ADV_RANGE_TO_LABEL, 295, 187, 30, 16},
        {IDC_ADV_RANGE_FROM, 328, 152, 37, 20},       {IDC_ADV_RANGE_TO, 328, 182, 37, 20},
        {IDC_ADV_PORT_LIST_EDIT, 290, 136, 80, 78},   {IDC_ADV_TIME_GROUP, 25, 230, 350, 55},
        {IDC_ADV_SCHEDULE, 55, 250, 250, 200},        {IDC_ADV_ACTION_GROUP, 25, 295, 160, 65},
        {IDC_ADV_ACTION_QUERY, 35, 315, 150, 16},     {IDC_ADV_ACTION_DENY, 35, 335, 150, 16},
    };
    for (const auto &place : places)
        GetDlgItem(place.id)->MoveWindow(place.x, place.y, place.width, place.height);

    const int okWidth = m_okButton.m_nStateWidth;
    m_okButton.MoveWindow(90 - okWidth / 2, 385, okWidth, m_okButton.m_nStateHeight);
    m_applyButton.MoveWindow(201 - okWidth / 2, 385, okWidth, m_applyButton.m_nStateHeight);
    m_cancelButton.MoveWindow(312 - okWidth / 2, 385, okWidth, m_cancelButton.m_nStateHeight);
    SetWindowRegion();
    Invalidate(FALSE);
    return 0;
}

void CAdvancedRuleDialog::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawClient(&dc);
    DrawBottom(&dc);
}

BOOL CAdvancedRuleDialog::OnEraseBkgnd(CDC *)
{
    return TRUE;
}
