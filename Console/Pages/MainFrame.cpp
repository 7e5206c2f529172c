#include "MainFrame.h"

#include "ConsoleApp.h"
#include "ConsoleInstance.h"
#include "ConsoleMessages.h"
#include "ConsoleSettings.h"
#include "LoggedOn.h"
#include "MemoryDC.h"
#include "SessionMonitor.h"
#include "SplashWindow.h"
#include "StartCount.h"
#include "TipsDialog.h"
#include "VersionLine.h"
#include "ZoneHostResolver.h"

#include <CPaintDC.h>
#include <DataExchange.h>
#include <algorithm>

namespace {

const char kOptions[] = "Options";

// The lock-state label's look.
const COLORREF kLockLabelColor = 0x707071;

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_QUERYDRAGICON()
    ON_WM_SIZE()
    ON_WM_SIZING()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_MESSAGE(WM_SHOW_CONSOLE, OnShowConsole)
    ON_MESSAGE(WM_CONSOLE_EXIT, OnConsoleExit)
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_TIPS_CLOSED, OnTipsClosed)
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    // The caption's commands come first: their ids lie among the side bar's.
    ON_COMMAND(IDC_CAPTION_HIDE, OnHide)
    ON_COMMAND(IDC_CAPTION_MINIMIZE, OnMinimize)
    ON_COMMAND_RANGE(IDC_SIDE_OPTIONS, IDC_SIDE_INFO, OnSideBar)
    ON_COMMAND(IDC_CAPTION_MAXIMIZE, OnMaximize)
    ON_COMMAND(IDC_LOCK_SWITCH, OnLockButton)
    ON_COMMAND(ID_TRAY_OPEN, OnOpen)
    ON_COMMAND(ID_TRAY_EXIT, OnExit)
    ON_COMMAND(ID_TRAY_TOP_MOST, OnTopMost)
    ON_COMMAND(ID_TRAY_SHOW_TIPS, OnTips)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : CSkinDialog(IDD_MAIN_FRAME, NULL, NULL), m_systemPage(this), m_monitorPage(this, PollerSources()),
      m_firewallPage(this), m_programPage(this), m_logsPage(this), m_infoPage(this),
      m_lockLabel(kLockLabelColor),
      // The pages in the order they are made, shown and hidden, with their
      // side-bar buttons and the buttons' pictures.
      m_slots{{IDD_SYSTEM_PAGE, IDC_SIDE_OPTIONS, &m_systemPage, &m_optionsButton, "Options.bmp"},
              {IDD_MONITOR_PAGE, IDC_SIDE_MONITOR, &m_monitorPage, &m_monitorButton, "Monitor.bmp"},
              {IDD_FIREWALL_PAGE, IDC_SIDE_FIREWALL, &m_firewallPage, &m_firewallButton, "Firewall.bmp"},
              {IDD_PROGRAM_PAGE, IDC_SIDE_PROGRAM, &m_programPage, &m_programButton, "Program.bmp"},
              {IDD_LOGS_PAGE, IDC_SIDE_LOGS, &m_logsPage, &m_logsButton, "Logs.bmp"},
              {IDD_INFO_PAGE, IDC_SIDE_INFO, &m_infoPage, &m_infoButton, "ProductInfor.bmp"}}
{
}

CMainFrame::~CMainFrame()
{
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CSkinDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    // A window made anew lays its new controls out, is not on top and has
    // not been shown.
    m_lastLayout.SetRectEmpty();
    m_bTopMost = FALSE;
    m_bShownOnce = FALSE;
    m_bExiting = FALSE;
    m_pTips = NULL;
    ReadVersionLine();
    MarkStart();
    ::SetPropA(m_hWnd, CONSOLE_INSTANCE_MARKER,
               reinterpret_cast<HANDLE>(const_cast<char *>(CONSOLE_INSTANCE_MARKER)));

    // The window has no text yet, so the icon has no tip.
    CString tip;
    GetWindowText(tip);
    // A refused icon is asked for again (AddTrayIcon); the console runs on.
    if (!m_trayIcon.Create(this, WM_TRAY_NOTIFY, tip, AfxGetApp()->LoadIcon(IDI_CONSOLE), IDR_TRAY_MENU))
        SetTimer(TRAY_RETRY_TIMER, TRAY_RETRY_MS, NULL);
    m_trayIcon.SetDefaultItem(0, TRUE);
    if (!CreatePages()) {
        m_trayIcon.RemoveIcon();
        return -1;
    }
    return 0;
}

// The icon of a console that is exiting stays away.
void CMainFrame::AddTrayIcon()
{
    if (m_bExiting)
        return;
    if (m_trayIcon.AddAgain())
        KillTimer(TRAY_RETRY_TIMER);
    else
        SetTimer(TRAY_RETRY_TIMER, TRAY_RETRY_MS, NULL);
}

void CMainFrame::OnTimer(UINT nIDEvent)
{
    if (nIDEvent == TRAY_RETRY_TIMER)
        AddTrayIcon();
    else
        CSkinDialog::OnTimer(nIDEvent);
}

// A new task bar (the shell started late or again) has none of the old
// icons.
LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    if (message == taskbarCreated && taskbarCreated != 0) {
        AddTrayIcon();
        return 0;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CMainFrame::ReadVersionLine()
{
    VersionLine() = CString("Version   ") + InstalledVersion();
}

// The splash window shows the main window when it goes only after the
// console's first three starts; then this start is counted.
void CMainFrame::MarkStart()
{
    CDataBase &settings = ConsoleSettings();
    const UINT starts = ParseStartCount(settings.GetString("StartCount", kOptions));
    CSplashWindow::ShowSplash(this, starts > 2);
    settings.SetUInt("StartCount", starts + 1, kOptions);
}

BOOL CMainFrame::CreatePages()
{
    CConsoleApp *app = GetConsoleApp();
    m_programPage.Bind(&app->Publisher(), *app->GetLanguagePath(), ConsoleSkinFolder());
    m_logsPage.Bind(&app->ProgramLogs(), &app->Publisher().RuleStore(), *app->GetLanguagePath(),
                    ConsoleSkinFolder());
    m_monitorPage.Bind(&ConsoleSettings(), &app->ProgramLogs(), *app->GetLanguagePath(), ConsoleSkinFolder());
    for (int i = 0; i < kPageCount; ++i) {
        if (!m_slots[i].page->Create(m_slots[i].tabId, this))
            return FALSE;
    }
    m_monitorPage.SetPeerPages(m_programPage.GetSafeHwnd(), m_logsPage.GetSafeHwnd());
    return TRUE;
}

void CMainFrame::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOCK_LABEL, m_lockLabel);
    for (int i = 0; i < kPageCount; ++i)
        DDX_Control(pDX, m_slots[i].buttonId, *m_slots[i].button);
    DDX_Control(pDX, IDC_CAPTION_HIDE, m_hideButton);
    DDX_Control(pDX, IDC_CAPTION_MAXIMIZE, m_maximizeButton);
    DDX_Control(pDX, IDC_CAPTION_MINIMIZE, m_minimizeButton);
    DDX_Control(pDX, IDC_CAPTION_HELP, m_helpButton);
    DDX_Control(pDX, IDC_LOCK_SWITCH, m_lockButton);
}

BOOL CMainFrame::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_bResize = TRUE;
    m_bCaptionDrag = TRUE;
    LoadSkin();
    CConsoleApp *app = GetConsoleApp();
    m_texts.SetSource(*app->GetLanguagePath(), "FRAME_MAIN", "APP", "APP_NAME");

    ::SetWindowLongA(m_hWnd, GWL_STYLE, WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU);
    ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_icon = app->LoadIcon(IDI_CONSOLE);
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);

    PlaceWindow();
    SetWindowText(m_texts.GetAppName());
    SelectPage(ConsoleSettings().GetMainFramTabID());

    m_lockLabel.SetLabelFont("Arial", -11, FW_NORMAL, FALSE, FALSE, FALSE);
    // Any stored mode but locked, filtering off and text that is no number
    // included, starts in normal mode: the console never leaves the
    // computer unfiltered behind a switch that shows it locked.
    const bool locked = app->Publisher().ZoneStore().GetWorkMode() == WORK_MODE_LOCKED;
    EnterWorkMode(locked ? WORK_MODE_LOCKED : WORK_MODE_NORMAL);
    return TRUE;
}

void CMainFrame::LoadSkin()
{
    const CString folder = ConsoleSkinFolder();
    struct Piece {
        CSkinBitmap *bitmap;
        LPCTSTR file;
    } const pieces[] = {
        {&m_titleLeft, "Title_Left.bmp"},
        {&m_titleMiddle, "Title_Mid.bmp"},
        {&m_titleRight, "Title_Right.bmp"},
        {&m_bottomLeft, "Bottom_Left.bmp"},
        {&m_bottomMiddle, "Bottom_Mid.bmp"},
        {&m_bottomRight, "Bottom_Right.bmp"},
        {&m_leftBorder, "Left.bmp"},
        {&m_rightBorder, "Right.bmp"},
        {&m_sizeGrip, "SizeBox.bmp"},
        {&m_toolBar, "ToolBar.bmp"},
        {&m_clientTopLeft, "ClientTop_Left.bmp"},
        {&m_clientTopMiddle, "ClientTop_Mid.bmp"},
        {&m_clientTopRight, "ClientTop_Right.bmp"},
        {&m_clientBottomLeft, "ClientBottom_Left.bmp"},
        {&m_clientBottomMiddle, "ClientBottom_Mid.bmp"},
        {&m_clientBottomRight, "ClientBottom_Right.bmp"},
        {&m_clientLeft, "ClientLeft.bmp"},
        {&m_clientRight, "ClientRight.bmp"},
        {&m_clientFill, "MainFramClient.bmp"},
        {&m_toolBarIcon, "ToolBar_BigIcon.bmp"},
        {&m_loggedOnPicture, "logined.bmp"},
        {&m_loggedOffPicture, "unlogined.bmp"},
    };
    for (const Piece &piece : pieces)
        piece.bitmap->Load(folder + piece.file);

    for (int i = 0; i < kPageCount; ++i)
        m_slots[i].button->SetBitmap(folder + m_slots[i].picture, 4, FALSE);
    m_hideButton.SetBitmap(folder + "Close.bmp", 3, FALSE);
    m_maximizeButton.SetBitmap(folder + "Max.bmp", 3, FALSE);
    m_maximizeButton.SetRows(2);
    m_minimizeButton.SetBitmap(folder + "Min.bmp", 3, FALSE);
    m_helpButton.SetBitmap(folder + "Help.bmp", 3, FALSE);
    m_lockButton.SetBitmap(folder + "BUT_MAIN_LOCK.bmp", 3, FALSE);
    m_lockButton.SetRows(2);
}

// Where the window was at the last exit; a stored place that cannot be read,
// or that has no width or height, gives the smallest size, centred.
void CMainFrame::PlaceWindow()
{
    RECT stored = {};
    if (ConsoleSettings().GetMainFramPos(stored) && stored.right > stored.left &&
        stored.bottom > stored.top) {
        // A stored place keeps its corner; a size below the smallest the
        // user can drag to (the shipped default is one) would cut off the
        // lock switch, so it grows to that size.
        MoveWindow(stored.left, stored.top, std::max<int>(stored.right - stored.left, kMinWidth),
                   std::max<int>(stored.bottom - stored.top, kMinHeight));
        return;
    }
    MoveWindow(0, 0, kMinWidth, kMinHeight);
    CenterWindow();
}

void CMainFrame::SelectPage(UINT tabId)
{
    for (int i = 0; i < kPageCount; ++i) {
        if (m_slots[i].tabId == tabId) {
            m_slots[i].page->PostMessage(WM_DEFERRED_LAYOUT, 0, 0);
            m_slots[i].page->SetFocus();
        }
    }
    for (int i = 0; i < kPageCount; ++i)
        m_slots[i].page->ShowWindow(m_slots[i].tabId == tabId ? SW_SHOW : SW_HIDE);
    for (int i = 0; i < kPageCount; ++i)
        m_slots[i].button->SetCheck(m_slots[i].tabId == tabId);
    ConsoleSettings().SetMainFramTabID(static_cast<int>(tabId));
}

CString CMainFrame::PageHelpTopic(UINT tabId)
{
    for (int i = 0; i < kPageCount; ++i) {
        if (m_slots[i].tabId == tabId)
            return m_slots[i].page->GetHelpTopic();
    }
    return CString();
}

void CMainFrame::OnSideBar(UINT id)
{
    for (int i = 0; i < kPageCount; ++i) {
        if (m_slots[i].buttonId == id)
            SelectPage(m_slots[i].tabId);
    }
}

// The provider is sent the mode, and the switch, its label and the tray
// menu show the mode sent, so that what the user sees is what filters.
void CMainFrame::EnterWorkMode(BYTE mode)
{
    m_workMode = mode;
    SpiIoControlProc spiIoControl = GetConsoleApp()->GetSpiIoControl();
    if (spiIoControl) {
        SpiIoBlock block = {mode, 0, 0, 0};
        spiIoControl(SPI_SET_WORK_MODE, &block);
    }
    m_lockButton.SetRow(mode == WORK_MODE_LOCKED ? 1 : 0);
    m_lockLabel.SetWindowText(m_texts.GetText(mode == WORK_MODE_LOCKED ? "LB_Lock" : "LB_Unlock"));
    CRect label;
    m_lockLabel.GetWindowRect(&label);
    ScreenToClient(&label);
    InvalidateRect(&label, FALSE);
}

// Normal turns to locked and locked back to normal. Works while logged off
// too.
void CMainFrame::OnLockButton()
{
    const BYTE mode = m_workMode == WORK_MODE_NORMAL ? WORK_MODE_LOCKED : WORK_MODE_NORMAL;
    GetConsoleApp()->Publisher().ZoneStore().SetWorkMode(mode);
    EnterWorkMode(mode);
}

void CMainFrame::OnHide()
{
    ShowWindow(SW_HIDE);
}

void CMainFrame::OnMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

// Decided by the window's state, not the button's row: a restore from the
// tray leaves the row behind.
void CMainFrame::OnMaximize()
{
    if (!IsZoomed()) {
        ShowWindow(SW_MAXIMIZE);
        m_maximizeButton.SetRow(1);
    } else {
        ShowWindow(SW_SHOWNORMAL);
        m_maximizeButton.SetRow(0);
    }
}

void CMainFrame::OnOpen()
{
    ShowWindow(SW_RESTORE);
    SetForegroundWindow();
    UpdateWindow();
}

void CMainFrame::OnTopMost()
{
    const BOOL wasTopMost = m_bTopMost;
    m_bTopMost = !m_bTopMost;
    ::SetWindowPos(m_hWnd, wasTopMost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

void CMainFrame::OnExit()
{
    m_bExiting = TRUE;
    KillTimer(TRAY_RETRY_TIMER);
    m_trayIcon.HideIcon();
    if (!IsIconic() && !IsZoomed()) {
        CRect place;
        GetWindowRect(&place);
        ConsoleSettings().SetMainFramPos(place);
    }
    DestroyWindow();
}

BOOL CMainFrame::DestroyWindow()
{
    if (m_hWnd)
        ::RemovePropA(m_hWnd, CONSOLE_INSTANCE_MARKER);
    return CSkinDialog::DestroyWindow();
}

void CMainFrame::OnDestroy()
{
    // An open tips window goes with its owner and deletes itself.
    m_pTips = NULL;
    CSessionMonitor::Stop();
    CZoneHostResolver::Stop();
    CSkinDialog::OnDestroy();
}

LRESULT CMainFrame::OnShowConsole(WPARAM, LPARAM)
{
    OnOpen();
    return 0;
}

// The tips open at the first show only, when the user wants them at start.
// The window is not on the screen yet, so they centre in the work area.
void CMainFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CSkinDialog::OnShowWindow(bShow, nStatus);
    if (!bShow || m_bShownOnce)
        return;
    if (ConsoleSettings().GetEnableShowTips())
        OnTips();
    m_bShownOnce = TRUE;
}

// An open tips window is only shown again.
void CMainFrame::OnTips()
{
    if (m_pTips) {
        m_pTips->ShowWindow(SW_SHOW);
        return;
    }
    CTipsDialog *tips =
        new CTipsDialog(this, ConsoleSettings(), *GetConsoleApp()->GetLanguagePath(), ConsoleSkinFolder());
    if (tips->CreateAndShow())
        m_pTips = tips;
    else
        delete tips;
}

LRESULT CMainFrame::OnTipsClosed(WPARAM, LPARAM)
{
    m_pTips = NULL;
    return 0;
}

LRESULT CMainFrame::OnConsoleExit(WPARAM, LPARAM)
{
    OnExit();
    return 0;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    return m_trayIcon.OnTrayNotification(static_cast<UINT>(wParam), lParam, m_workMode == WORK_MODE_LOCKED,
                                         m_bTopMost);
}

BOOL CMainFrame::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

HCURSOR CMainFrame::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_icon);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    PostMessage(WM_DEFERRED_LAYOUT, 0, 0);
}

void CMainFrame::OnSizing(UINT fwSide, LPRECT pRect)
{
    CSkinDialog::OnSizing(fwSide, pRect);
    if (pRect->right - pRect->left < kMinWidth) {
        if (fwSide == WMSZ_LEFT || fwSide == WMSZ_TOPLEFT || fwSide == WMSZ_BOTTOMLEFT)
            pRect->left = pRect->right - kMinWidth;
        else if (fwSide == WMSZ_RIGHT || fwSide == WMSZ_TOPRIGHT || fwSide == WMSZ_BOTTOMRIGHT)
            pRect->right = pRect->left + kMinWidth;
    }
    if (pRect->bottom - pRect->top < kMinHeight) {
        if (fwSide == WMSZ_TOP || fwSide == WMSZ_TOPLEFT || fwSide == WMSZ_TOPRIGHT)
            pRect->top = pRect->bottom - kMinHeight;
        else if (fwSide == WMSZ_BOTTOM || fwSide == WMSZ_BOTTOMLEFT || fwSide == WMSZ_BOTTOMRIGHT)
            pRect->bottom = pRect->top + kMinHeight;
    }
}

LRESULT CMainFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    if (client == m_lastLayout)
        return 0;
    m_lastLayout = client;
    const int right = client.Width(), bottom = client.Height();

    // The caption buttons, from the right, each the size of Close.bmp's cells.
    const int w = m_hideButton.m_nStateWidth, h = m_hideButton.m_nStateHeight;
    const int x = right - w - 8;
    m_hideButton.MoveWindow(x, 6, w, h);
    m_maximizeButton.MoveWindow(x - (w + 1), 6, w, h);
    m_minimizeButton.MoveWindow(x - 2 * (w + 1), 6, w, h);
    m_helpButton.MoveWindow(x - 3 * (w + 1), 6, w, h);

    // The lock switch keeps its place from the right edge: where it stands
    // at the smallest width, x = 550.
    const int lockHeight = m_lockButton.m_nStateHeight;
    const int lockLeft = right - (kMinWidth - 550);
    m_lockButton.MoveWindow(lockLeft, 34, m_lockButton.m_nStateWidth, lockHeight);
    m_lockLabel.MoveWindow(lockLeft - 15, lockHeight + 39, 43, 14);

    // The side bar, every button the size of Monitor.bmp's cells; the pages
    // fill the client area inside it.
    const int sideWidth = m_monitorButton.m_nStateWidth, sideHeight = m_monitorButton.m_nStateHeight;
    static const UINT sideOrder[kPageCount] = {IDC_SIDE_MONITOR, IDC_SIDE_FIREWALL, IDC_SIDE_PROGRAM,
                                               IDC_SIDE_LOGS, IDC_SIDE_OPTIONS, IDC_SIDE_INFO};
    for (int k = 0; k < kPageCount; ++k) {
        for (int i = 0; i < kPageCount; ++i) {
            if (m_slots[i].buttonId == sideOrder[k])
                m_slots[i].button->MoveWindow(7, 128 + k * sideHeight, sideWidth, sideHeight);
        }
    }
    for (int i = 0; i < kPageCount; ++i)
        m_slots[i].page->MoveWindow(47, 102, right - 61, bottom - 137);

    SetWindowRegion();
    InvalidateRect(NULL, FALSE);
    return 0;
}

CRect CMainFrame::StatusPictureRect() const
{
    // The picture's upper half is drawn, its lower half is the mask; it
    // stands clear of the bottom band, which would cut it otherwise.
    CRect client;
    GetClientRect(&client);
    const int bottom = client.Height() - m_bottomMiddle.m_size.cy - 2;
    const int height = m_loggedOnPicture.m_size.cy / 2;
    return CRect(19, bottom - height, 98, bottom);
}

void CMainFrame::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawClient(&dc);
    DrawBottom(&dc);
    DrawSizeBox(&dc);
    DrawToolBar(&dc);
    const RECT icon = {18, 31, m_toolBarIcon.m_size.cx, m_toolBarIcon.m_size.cy};
    m_toolBarIcon.Draw(icon, &dc, SRCCOPY, 0, 0);
    const CRect status = StatusPictureRect();
    (LoggedOn ? m_loggedOnPicture : m_loggedOffPicture).DrawMasked(status.left, status.top, &dc);
}
