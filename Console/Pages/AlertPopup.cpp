#include "AlertPopup.h"

#include <shellapi.h>

#include <algorithm>

#include <CPaintDC.h>
#include <DataExchange.h>

#include "ConnectionTree.h"
#include "FileInfo.h"
#include "Formatting.h"
#include "MemoryDC.h"
#include "PathText.h"
#include "ProgramFolder.h"
#include "SafeFormat.h"
#include "SkinPalette.h"

namespace {

const int kWidth = 235;
const int kHeight = 130;
const int kHoldMs = 20000;
const int kTickMs = 20;

const UINT kLabelIds[8] = {IDC_ALERT_TITLE,       IDC_ALERT_MESSAGE, IDC_ALERT_LOCAL_PORT_LABEL,
                           IDC_ALERT_LOCAL_PORT,  IDC_ALERT_REMOTE_LABEL, IDC_ALERT_REMOTE,
                           IDC_ALERT_REMOTE_PORT_LABEL, IDC_ALERT_REMOTE_PORT};

// Client places of the labels, in the order of kLabelIds.
const RECT kLabelPlaces[8] = {
    {30, 5, 230, 23},   {55, 35, 230, 80},  {10, 75, 110, 90},   {125, 75, 225, 90},
    {10, 90, 110, 105}, {125, 90, 225, 105}, {10, 105, 110, 120}, {125, 105, 225, 120},
};

} // namespace

BEGIN_MESSAGE_MAP(CAlertPopup, CSkinDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CAlertPopup::CAlertPopup(CWnd *pParent, const SessionRecord &connection, const CString &skinFolder)
    : CSkinDialog(IDD_ALERT_POPUP, pParent, NULL), m_icon(NULL), m_iconIsShared(false),
      m_connection(connection), m_skinFolder(skinFolder), m_rect(), m_riseSteps(0), m_sinkSteps(0),
      m_height(0), m_sinking(FALSE), m_refusals(1), m_watcher(NULL)
{
    m_connection.Path[SESSION_PATH_SIZE - 1] = '\0';
    m_connection.Detail[SESSION_DETAIL_SIZE - 1] = '\0';
}

CAlertPopup::~CAlertPopup()
{
    if (m_watcher)
        m_watcher->AlertGone(this);
    if (m_icon && !m_iconIsShared)
        DestroyIcon(m_icon);
}

BOOL CAlertPopup::Show()
{
    if (Create(IDD_ALERT_POPUP, m_pParentWnd))
        return TRUE;
    delete this;
    return FALSE;
}

// The window has gone with its last message: nothing of the object is
// used after this.
void CAlertPopup::PostNcDestroy()
{
    delete this;
}

void CAlertPopup::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    for (int i = 0; i < 8; ++i)
        DDX_Control(pDX, kLabelIds[i], m_labels[i]);
}

BOOL CAlertPopup::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    LoadSkin();
    m_text.SetSource(GetProgramFolder() + "Language.ini", "DLG_AlertMsg", "APP", "APP_NAME");
    m_labels[0].SetLabelFont("Arial", -14, FW_BOLD, FALSE, FALSE, FALSE);
    m_labels[0].SetTextColor(SkinPalette::BandTitleText);
    SetTexts();

    const RECT work = WorkArea();
    MoveWindow(work.right - work.left - kWidth, work.bottom - work.top, kWidth, kHeight, FALSE);
    m_bCaptionDrag = FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PlaceLabels();

    HINSTANCE instance = GetModuleHandle(NULL);
    m_icon = ExtractLocalIcon(instance, m_connection.Path);
    if (!m_icon || m_icon == reinterpret_cast<HICON>(1)) {
        m_icon = LoadIcon(instance, MAKEINTRESOURCE(IDI_NO_PROGRAM_ICON));
        m_iconIsShared = true;
    }
    SetWindowRegion();
    SetTimer(ALERT_TIMER_RISE, kTickMs, NULL);
    ShowWindow(SW_HIDE);
    return FALSE; // the dialog manager's focus would activate the window

}

void CAlertPopup::LoadSkin()
{
    LoadPopupPieces(m_skinFolder);
}

CString CAlertPopup::TitleKey(const SessionRecord &connection)
{
    return connection.HostMatchDone ? "LG_Type_Site" : "LG_Type_Connect";
}

CString CAlertPopup::RemoteText(const SessionRecord &connection)
{
    if (connection.HostMatchDone && connection.Detail[0])
        return connection.Detail;
    return IpToText(&connection.RemoteIp);
}

CString CAlertPopup::ProgramName(LPCTSTR path)
{
    CFileInfo info;
    if (info.ReadLocal(path) == CFileInfo::READ_OK)
        return info.GetDescription();
    return GetFileNameFromPath(path, false);
}

void CAlertPopup::SetTexts()
{
    const SessionRecord &c = m_connection;
    CString key;
    key.Format("LB_Block_%d", c.Direction);
    CString localPort = "N/A";
    if (c.LocalPort)
        localPort.Format("%u", static_cast<UINT>(c.LocalPort));
    CString remotePort;
    remotePort.Format("%u", static_cast<UINT>(c.RemotePort));
    CString message = SafeFormat(m_text.GetText(key), {ProgramName(c.Path)});
    if (m_refusals > 1)
        message += "\n" + SafeFormat(m_text.GetText("LB_Block_Count"), {m_refusals});
    const CString texts[8] = {
        m_text.GetText(TitleKey(c)),
        message,
        m_text.GetText("LB_LocalPort"),
        localPort,
        m_text.GetText(c.HostMatchDone ? "LB_RemoteSite" : "LB_RemoteIp"),
        RemoteText(c),
        m_text.GetText("LB_RemotePort"),
        remotePort,
    };
    for (int i = 0; i < 8; ++i)
        m_labels[i].SetWindowText(texts[i]);
}

// Before the first tick the rise has not begun; once risen, the hold runs.
BOOL CAlertPopup::AddRefusal()
{
    if (m_sinking || !m_hWnd)
        return FALSE;
    ++m_refusals;
    SetTexts();
    const bool risen = m_height > 0 && m_riseSteps < 1;
    if (risen)
        SetTimer(ALERT_TIMER_HOLD, kHoldMs, NULL);
    Invalidate(FALSE);
    return TRUE;
}

void CAlertPopup::PlaceLabels()
{
    for (int i = 0; i < 8; ++i) {
        const RECT &r = kLabelPlaces[i];
        m_labels[i].MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

RECT CAlertPopup::WorkArea() const
{
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

BOOL CAlertPopup::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CAlertPopup::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawClient(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawBottom(&dc);
    DrawTop(&dc);
    if (m_icon)
        ::DrawIcon(dc.GetSafeHdc(), 10, 35, m_icon);
}

void CAlertPopup::OnTimer(UINT nIDEvent)
{
    switch (nIDEvent) {
    case ALERT_TIMER_RISE:
        Rise();
        break;
    case ALERT_TIMER_HOLD:
        HoldEnds();
        break;
    case ALERT_TIMER_SINK:
        Sink();
        break;
    default:
        Invalidate(FALSE);
        break;
    }
}

void CAlertPopup::Rise()
{
    GetWindowRect(&m_rect);
    const RECT work = WorkArea();
    if (m_riseSteps == 0) {
        m_height = std::max<int>(0, m_rect.bottom - m_rect.top);
        const int width = m_rect.right - m_rect.left;
        m_riseSteps = ALERT_STEPS;
        m_sinkSteps = ALERT_STEPS;
        m_rect.left = work.right - width - work.left - 1;
        m_rect.top = work.bottom - work.top - 2;
        m_rect.bottom = m_rect.top + m_height / ALERT_STEPS;
        m_rect.right = m_rect.left + width;
        MoveWindow(&m_rect, TRUE);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    m_rect.top -= m_height / ALERT_STEPS;
    --m_riseSteps;
    if (m_riseSteps > 0) {
        MoveWindow(&m_rect, TRUE);
        Invalidate(FALSE);
        return;
    }
    m_rect.bottom = work.bottom - work.top - 2;
    m_rect.top = m_rect.bottom - m_height;
    MoveWindow(&m_rect, TRUE);
    KillTimer(ALERT_TIMER_RISE);
    SetTimer(ALERT_TIMER_HOLD, kHoldMs, NULL);
    Invalidate(FALSE);
}

void CAlertPopup::HoldEnds()
{
    KillTimer(ALERT_TIMER_HOLD);
    if (m_sinking)
        return;
    m_rect.top += 5;
    m_rect.bottom += 5;
    MoveWindow(&m_rect, TRUE);
    StartSinking();
}

void CAlertPopup::StartSinking()
{
    m_sinking = TRUE;
    SetTimer(ALERT_TIMER_SINK, 0, NULL);
}

void CAlertPopup::Sink()
{
    GetWindowRect(&m_rect);
    m_rect.top += m_height / ALERT_STEPS;
    --m_sinkSteps;
    if (m_sinkSteps > 0) {
        MoveWindow(&m_rect, TRUE);
        Invalidate(FALSE);
        return;
    }
    KillTimer(ALERT_TIMER_SINK);
    DestroyWindow(); // the object goes after the window's last message
}

void CAlertPopup::OnLButtonDown(UINT, CPoint)
{
    KillTimer(m_riseSteps < 1 ? ALERT_TIMER_HOLD : ALERT_TIMER_RISE);
    if (!m_sinking)
        StartSinking();
}
