#include "ProgramQueryDialog.h"

#include <shellapi.h>

#include <CPaintDC.h>
#include <CWaitCursor.h>
#include <DataExchange.h>

#include "AclPublisher.h"
#include "ConsoleMessages.h"
#include "FileInfo.h"
#include "FirewallTypes.h"
#include "Formatting.h"
#include "MemoryDC.h"
#include "PathText.h"
#include "ProcessAlive.h"
#include "RuleRecord.h"
#include "SafeFormat.h"

namespace {

const int kTailHeight = 15;
const int kCorner = 4;
const int kFadeTickMs = 100;
const int kNoProgramIcon = 301;
const COLORREF kLinkColour = RGB(0, 0, 200);

// Copies a text of shared memory, never reading past its field.
void CopyBounded(char *to, const char *from, size_t fieldSize)
{
    size_t n = 0;
    while (n + 1 < fieldSize && from[n])
        ++n;
    memcpy(to, from, n);
    to[n] = '\0';
}

// The State byte moves only from the expected value: the provider and other
// questions of the same record may be changing it meanwhile.
bool SwapState(SessionRecord *record, BYTE expected, BYTE value)
{
    return __atomic_compare_exchange_n(&record->State, &expected, value, false, __ATOMIC_SEQ_CST,
                                       __ATOMIC_SEQ_CST);
}

} // namespace

BEGIN_MESSAGE_MAP(CProgramQueryDialog, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_QUERY_ALLOW, OnAllow)
    ON_BN_CLICKED(IDC_QUERY_DENY, OnDeny)
    ON_STN_CLICKED(IDC_QUERY_VIEW, OnViewProperties)
END_MESSAGE_MAP()

CProgramQueryDialog::CProgramQueryDialog(CWnd *page, UINT notifyMessage, CAclPublisher *publisher,
                                         const CString &languagePath, const CString &skinFolder)
    : CSkinDialog(IDD_PROGRAM_QUERY, page, NULL), m_page(page), m_notifyMessage(notifyMessage),
      m_publisher(publisher), m_languagePath(languagePath), m_skinFolder(skinFolder)
{
    memset(&m_asked, 0, sizeof m_asked);
    m_user32 = LoadLibraryA("User32.DLL");
    if (m_user32)
        m_setLayered = reinterpret_cast<LayeredProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_user32, "SetLayeredWindowAttributes")));
}

CProgramQueryDialog::~CProgramQueryDialog()
{
    if (m_icon && !m_iconShared)
        DestroyIcon(m_icon);
    if (m_user32)
        FreeLibrary(m_user32);
}

BOOL CProgramQueryDialog::ShowForRecord(SessionRecord *record)
{
    memcpy(&m_asked, record, sizeof m_asked);
    CopyBounded(m_asked.Path, record->Path, SESSION_PATH_SIZE);
    CopyBounded(m_asked.Detail, record->Detail, SESSION_DETAIL_SIZE);
    m_live = record;
    if (!Create(IDD_PROGRAM_QUERY, m_page)) {
        delete this;
        return FALSE;
    }
    ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

void CProgramQueryDialog::SetFromQueueRecord(const DriverQueueRecord &queue)
{
    memset(&m_asked, 0, sizeof m_asked);
    m_asked.State = ConnectionState(queue);
    m_asked.Zone = queue.Zone;
    m_asked.Direction = IsOutbound(queue) ? DIR_OUTBOUND : DIR_INBOUND;
    m_asked.Protocol = queue.Protocol;
    m_asked.StartTime = queue.Time;
    m_asked.LocalIp = queue.LocalIp;
    m_asked.RemoteIp = queue.RemoteIp;
    m_asked.LocalPort = queue.LocalPort;
    m_asked.RemotePort = queue.RemotePort;
    // The name holds 16 characters at most; a full field has no NUL.
    CopyBounded(m_asked.Path, queue.ImageName, sizeof queue.ImageName + 1);
    if (!m_asked.Path[0])
        strcpy(m_asked.Path, "*");
    m_live = NULL;
}

// A modeless pop-up is gone with its window.
void CProgramQueryDialog::PostNcDestroy()
{
    if (IsModeless())
        delete this;
}

void CProgramQueryDialog::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_QUERY_MORE, m_moreText);
    DDX_Control(pDX, IDC_QUERY_MORE_CAPTION, m_moreCaption);
    DDX_Control(pDX, IDC_QUERY_FILE, m_fileName);
    DDX_Control(pDX, IDC_QUERY_IP, m_remoteIp);
    DDX_Control(pDX, IDC_QUERY_PORT, m_portText);
    DDX_Control(pDX, IDC_QUERY_IP_LABEL, m_ipLabel);
    DDX_Control(pDX, IDC_QUERY_PORT_LABEL, m_portLabel);
    DDX_Control(pDX, IDC_QUERY_TITLE, m_title);
    DDX_Control(pDX, IDC_QUERY_INFO, m_info);
    DDX_Control(pDX, IDC_QUERY_APP_LABEL, m_appLabel);
    DDX_Control(pDX, IDC_QUERY_VIEW, m_viewLink);
    DDX_Control(pDX, IDC_QUERY_REMEMBER, m_remember);
    DDX_Control(pDX, IDC_QUERY_DENY, m_deny);
    DDX_Control(pDX, IDC_QUERY_ALLOW, m_allow);
}

BOOL CProgramQueryDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A layered window stays unseen until its alpha is set: without the
    // function the pop-up is an ordinary window, shown at once.
    if (m_setLayered) {
        ModifyStyleEx(0, WS_EX_LAYERED);
        m_setLayered(m_hWnd, 0, static_cast<BYTE>(m_alpha), LWA_ALPHA);
    }
    m_texts.SetSource(m_languagePath, "DLG_PROGRAM_QUERY", "APP", "APP_NAME");
    LoadSkin();

    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(work.right - (QUERY_WIDTH + 1), work.bottom - QUERY_HEIGHT, QUERY_WIDTH, QUERY_HEIGHT,
               FALSE);
    m_bCaptionDrag = FALSE;
    SetWindowRegion();
    LayoutControls();
    SetFonts();
    SetTexts();
    SetTimer(QUERY_TIMER_FADE, kFadeTickMs, NULL);
    return FALSE; // the focus stays where the user works
}

void CProgramQueryDialog::LoadSkin()
{
    struct Piece {
        CSkinBitmap *bitmap;
        LPCTSTR file;
    } const pieces[] = {
        {&m_titleLeft, "Query_Title_Left.bmp"},     {&m_titleMiddle, "Query_Title_Mid.bmp"},
        {&m_titleRight, "Query_Title_Right.bmp"},   {&m_bottomLeft, "Query_Bottom_Left.bmp"},
        {&m_bottomMiddle, "Query_Bottom_Mid.bmp"},  {&m_bottomRight, "Query_Bottom_Right.bmp"},
        {&m_leftBorder, "Query_Left.bmp"},          {&m_rightBorder, "Query_Right.bmp"},
        {&m_clientFill, "Query_Client.bmp"},        {&m_tail, "Query_Allow.bmp"},
        {&m_alertSign, "Icon_Alert.bmp"},
    };
    for (const Piece &piece : pieces)
        piece.bitmap->Load(m_skinFolder + piece.file);
    m_allow.SetBitmap(m_skinFolder + "Query_But_Allow.bmp", 3, FALSE);
    m_deny.SetBitmap(m_skinFolder + "Query_But_Deny.bmp", 3, FALSE);
}

void CProgramQueryDialog::SetWindowRegion()
{
    RECT client;
    GetClientRect(&client);
    const int l = client.left, t = client.top, r = client.right, b = client.bottom - kTailHeight;
    const int a = kCorner, c = kCorner, w = r - l;
    HRGN region = CreateRectRgn(l, t + a, r, b - c);
    HRGN parts[] = {
        CreateRectRgn(l + a, t, r - a, t + a),
        CreateRectRgn(l + c, b - c, r - c, b),
        CreateEllipticRgn(l, t, l + 2 * a, t + 2 * a),
        CreateEllipticRgn(r - 2 * a + 1, t, r + 1, t + 2 * a),
        CreateEllipticRgn(l, b - 2 * c + 1, l + 2 * c, b + 1),
        CreateEllipticRgn(r - 2 * c + 1, b - 2 * c + 1, r + 1, b + 1),
        NULL,
    };
    const POINT tail[] = {{w / 2 - 5, b}, {w / 2 + 4, b}, {w / 2 + 4, b + 16}};
    parts[6] = CreatePolygonRgn(tail, 3, WINDING);
    for (HRGN part : parts) {
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    ::SetWindowRgn(m_hWnd, region, TRUE); // the window owns the region now
}

void CProgramQueryDialog::LayoutControls()
{
    const int w = QUERY_WIDTH;
    const bool listen = m_asked.Direction == DIR_LISTEN;
    const int portRow = listen ? 125 : 139;
    struct Place {
        CWnd *control;
        int x, y, cx, cy;
    } const places[] = {
        {&m_title, 10, 40, w - 20, 15},
        {&m_info, 10, 75, w - 20, 35},
        {&m_appLabel, 50, 111, 100, 14},
        {&m_ipLabel, 50, 125, 100, 14},
        {&m_portLabel, 50, portRow, 100, 14},
        // The values end clear of the balloon's right border.
        {&m_fileName, w - 136, 111, 120, 14},
        {&m_remoteIp, w - 136, 125, 120, 14},
        {&m_portText, w - 136, portRow, 120, 14},
        {&m_viewLink, w - 106, listen ? 139 : 153, 90, 14},
        {&m_moreCaption, 10, 180, w - 20, 14},
        {&m_moreText, 10, 200, w - 20, 32},
        {&m_remember, 12, 240, 135, 16},
    };
    for (const Place &p : places)
        p.control->MoveWindow(p.x, p.y, p.cx, p.cy, FALSE);
    // The two buttons take their sizes crosswise from each other's strip.
    const int w1 = m_deny.m_nStateWidth, h = m_deny.m_nStateHeight, w2 = m_allow.m_nStateWidth;
    m_allow.MoveWindow(152 - w1, 265, w1, h, FALSE);
    m_deny.MoveWindow(162, 265, w2, h, FALSE);
}

void CProgramQueryDialog::SetFonts()
{
    m_title.SetLabelFont("Arial", -14, FW_BOLD, FALSE, FALSE, FALSE);
    m_info.SetLabelFont("Arial", -12, FW_BOLD, FALSE, FALSE, FALSE);
    m_moreCaption.SetLabelFont("Arial", -12, FW_BOLD, FALSE, FALSE, FALSE);
    m_viewLink.SetLabelFont("Arial", -12, FW_NORMAL, FALSE, TRUE, FALSE);
    m_viewLink.SetTextColor(kLinkColour);
    m_viewLink.LoadHandCursor();
    if (m_asked.Direction == DIR_LISTEN) {
        m_ipLabel.ShowWindow(SW_HIDE);
        m_remoteIp.ShowWindow(SW_HIDE);
    }
}

CString CProgramQueryDialog::ZoneText() const
{
    return m_texts.GetText(m_asked.Zone == ZONE_TRUSTED ? "LB_TNET" : "LB_INET");
}

void CProgramQueryDialog::SetTexts()
{
    const SessionRecord &q = m_asked;
    const bool isNew = q.RuleId == 0;
    CFileInfo info;
    const CString description =
        info.ReadLocal(q.Path) == CFileInfo::READ_OK ? info.GetDescription() : GetFileNameFromPath(q.Path, false);
    const UINT localPort = q.LocalPort, remotePort = q.RemotePort;

    CString info1;
    switch (q.Direction) {
    case DIR_INBOUND:
        info1 = SafeFormat(m_texts.GetText("LB_Infor_In"), {description, localPort});
        break;
    case DIR_OUTBOUND:
    case DIR_BROADCAST:
        info1 = SafeFormat(m_texts.GetText("LB_Infor_Out"), {description, ZoneText()});
        break;
    case DIR_LISTEN:
        info1 = SafeFormat(m_texts.GetText("LB_Infor_Listen"), {description});
        break;
    default:
        break;
    }
    const bool listen = q.Direction == DIR_LISTEN;
    const CString port = listen ? SafeFormat("%d", {localPort})
                                : SafeFormat("%s [%d]", {ProtocolName(q.Protocol), remotePort});

    m_title.SetWindowText(m_texts.GetText(isNew ? "LB_TITLE_NEW" : "LB_TITLE_REPEAT"));
    m_info.SetWindowText(info1);
    m_appLabel.SetWindowText(m_texts.GetText("LB_App"));
    m_ipLabel.SetWindowText(m_texts.GetText("LB_Dest_IP"));
    m_portLabel.SetWindowText(m_texts.GetText(listen ? "LB_Local_Port" : "LB_Dest_Port"));
    m_fileName.SetWindowText(GetFileNameFromPath(q.Path, true));
    m_remoteIp.SetWindowText(IpToText(&q.RemoteIp));
    m_portText.SetWindowText(port);
    m_viewLink.SetWindowText(m_texts.GetText("LK_View"));
    m_moreCaption.SetWindowText(m_texts.GetText("LB_MoreInfor"));
    m_moreText.SetWindowText(isNew ? m_texts.GetText("LB_MoreInfor_New")
                                   : SafeFormat(m_texts.GetText("LB_MoreInfor_Repeat"), {ZoneText()}));
    m_remember.SetWindowText(m_texts.GetText("LB_Check_Remember"));

    m_icon = ExtractLocalIcon(GetModuleHandle(NULL), q.Path);
    if (!m_icon || m_icon == reinterpret_cast<HICON>(1)) {
        m_icon = LoadIcon(GetModuleHandle(NULL), MAKEINTRESOURCE(kNoProgramIcon));
        m_iconShared = true;
    }
}

BOOL CProgramQueryDialog::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CProgramQueryDialog::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawClient(&dc);
    DrawBottom(&dc);
    RECT client;
    GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    m_tail.Draw(RECT{w / 2 - 5, h - 16, m_tail.m_size.cx, m_tail.m_size.cy}, &dc, SRCCOPY, 0, 0);
    m_alertSign.Draw(RECT{235, 32, m_alertSign.m_size.cx, m_alertSign.m_size.cy}, &dc, SRCCOPY, 0, 0);
    if (m_icon)
        ::DrawIcon(dc.GetSafeHdc(), 13, 113, m_icon);
}

void CProgramQueryDialog::OnTimer(UINT nIDEvent)
{
    if (nIDEvent != QUERY_TIMER_FADE)
        return;
    if (m_alpha >= 255) {
        KillTimer(QUERY_TIMER_FADE);
    } else {
        m_alpha += m_step++;
        if (m_alpha > 255)
            m_alpha = 255;
        if (m_setLayered)
            m_setLayered(m_hWnd, 0, static_cast<BYTE>(m_alpha), LWA_ALPHA);
    }
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(SW_SHOWNOACTIVATE);
}

void CProgramQueryDialog::OnAllow()
{
    Finish(ACTION_PASS);
}

void CProgramQueryDialog::OnDeny()
{
    Finish(ACTION_DENY);
}

void CProgramQueryDialog::Finish(BYTE verdict)
{
    const DWORD ruleId = Answer(verdict);
    if (!IsModeless()) {
        m_asked.Verdict = verdict;
        m_asked.RuleId = static_cast<LONG>(ruleId);
        m_asked.State = SESSION_OPEN;
        EndDialog(IDCANCEL);
        return;
    }
    Release(verdict, ruleId);
    DestroyWindow(); // the object goes with the window's last message
}

DWORD CProgramQueryDialog::Answer(BYTE verdict)
{
    CWaitCursor wait;
    BYTE inet = ACTION_QUERY;
    if (m_remember.m_bChecked) {
        inet = verdict;
        m_ruleChanged = TRUE;
    }
    const BYTE tnet = m_asked.Zone == ZONE_INTERNET ? static_cast<BYTE>(ACTION_PASS) : inet;
    DWORD ruleId = static_cast<DWORD>(m_asked.RuleId);
    if (ruleId == 0) {
        m_ruleChanged = TRUE;
        ruleId = m_publisher->AddProgram(m_asked.Path, inet, tnet, ACTION_DENY, 2);
    } else if (m_ruleChanged) {
        RuleRecord rule;
        m_publisher->RuleStore().GetRule(ruleId, rule);
        if (rule.ID == ruleId) // a rule deleted meanwhile stays deleted
            m_publisher->SetProgramActions(ruleId, inet, tnet, rule.EmailAction, rule.LockKey);
    }
    if (IsProcessAlive(m_asked.ProcessId))
        m_page->SendMessage(WM_PROGRAM_ACTIVE, ruleId, verdict == ACTION_PASS ? 1 : 0);
    if (m_ruleChanged)
        m_page->SendMessage(m_notifyMessage, 0, 0);
    return ruleId;
}

void CProgramQueryDialog::Release(BYTE verdict, DWORD ruleId)
{
    SessionRecord *live = m_live;
    if (live->ProcessId != m_asked.ProcessId || live->Socket != m_asked.Socket ||
        live->State != SESSION_SHOWN)
        return;
    live->Verdict = verdict;
    live->RuleId = static_cast<LONG>(ruleId);
    SwapState(live, SESSION_SHOWN, SESSION_OPEN);
}

void CProgramQueryDialog::OnViewProperties()
{
    SHELLEXECUTEINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = m_hWnd;
    info.lpVerb = "properties";
    info.lpFile = m_asked.Path;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}
