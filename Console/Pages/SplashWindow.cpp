#include "SplashWindow.h"

#include "ConsoleResources.h"
#include "VersionLine.h"

#include <CPaintDC.h>
#include <CWinApp.h>

BOOL CSplashWindow::s_enabled = FALSE;
BOOL CSplashWindow::s_showMain = FALSE;
CSplashWindow *CSplashWindow::s_current = NULL;

namespace {

// The version line's bottom-right corner on the picture.
const POINT kVersionCorner = {277, 190};

} // namespace

BEGIN_MESSAGE_MAP(CSplashWindow, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWindow::~CSplashWindow()
{
    s_current = NULL;
}

void CSplashWindow::EnableSplash(BOOL enabled)
{
    s_enabled = enabled;
}

void CSplashWindow::ShowSplash(CWnd *pParent, BOOL showMainWhenDone)
{
    s_showMain = showMainWhenDone;
    if (!s_enabled || s_current != NULL)
        return;
    s_current = new CSplashWindow;
    if (!s_current->Create(pParent)) {
        delete s_current;
        return;
    }
    s_current->UpdateWindow();
}

BOOL CSplashWindow::Create(CWnd *pParent)
{
    if (!m_picture.LoadBitmap(IDB_SPLASH))
        return FALSE;
    m_pPicture = &m_picture;
    BITMAP info = {};
    m_picture.GetBitmap(&info);
    LPCTSTR windowClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
    return CreateEx(0, windowClass, NULL, WS_POPUP | WS_VISIBLE, 0, 0, info.bmWidth, info.bmHeight,
                    pParent ? pParent->GetSafeHwnd() : NULL, NULL);
}

int CSplashWindow::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    SetTimer(1, 0, NULL);
    SetFocus();
    return 0;
}

void CSplashWindow::OnPaint()
{
    CPaintDC dc(this);
    CDC pictureDC;
    pictureDC.CreateCompatibleDC(&dc);
    CBitmap *old = pictureDC.SelectObject(m_pPicture);
    BITMAP info = {};
    m_pPicture->GetBitmap(&info);
    dc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &pictureDC, 0, 0, SRCCOPY);
    pictureDC.SelectObject(old);

    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const CString &line = VersionLine();
    const CSize extent = dc.GetTextExtent(line);
    CRect place(kVersionCorner.x - extent.cx, kVersionCorner.y - extent.cy, kVersionCorner.x,
                kVersionCorner.y);
    dc.DrawText(line, &place, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    dc.SetBkMode(oldMode);
}

void CSplashWindow::OnTimer(UINT)
{
    HideSplash();
}

BOOL CSplashWindow::FilterAppMessage(MSG *pMsg)
{
    if (s_current == NULL)
        return FALSE;
    switch (pMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        HideSplash();
        return TRUE;
    default:
        return FALSE;
    }
}

void CSplashWindow::HideSplash()
{
    if (s_current != NULL)
        s_current->DestroyWindow();
    if (!s_showMain)
        return;
    if (CWnd *pMain = AfxGetMainWnd()) {
        pMain->ShowWindow(SW_SHOW);
        pMain->SetForegroundWindow();
        pMain->UpdateWindow();
    }
}

void CSplashWindow::PostNcDestroy()
{
    delete this;
}
