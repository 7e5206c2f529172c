// The CWnd members that are more than one call.
#include "CWnd.h"

#include "CWinApp.h"
#include "DataExchange.h"
#include "WindowThreadState.h"

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

// --- style -------------------------------------------------------------------

static BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (hWnd == NULL)
        return FALSE;
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, nIndex));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, nIndex, static_cast<LONG>(dwNewStyle));
    if (nFlags != 0)
    {
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

// --- geometry ----------------------------------------------------------------

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    if (m_hWnd == NULL || !::GetWindowRect(m_hWnd, lpRect))
        ::SetRectEmpty(lpRect);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    if (m_hWnd == NULL || !::GetClientRect(m_hWnd, lpRect))
        ::SetRectEmpty(lpRect);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    if (m_hWnd != NULL)
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    if (m_hWnd != NULL)
        ::MapWindowPoints(m_hWnd, NULL, reinterpret_cast<LPPOINT>(lpRect), 2);
}

// Moves a span of the given length so that it lies inside [low, high) where
// it can.
static int KeepInside(int nStart, int nLength, int nLow, int nHigh)
{
    if (nStart + nLength > nHigh)
        nStart = nHigh - nLength;
    return nStart < nLow ? nLow : nStart;
}

void CWnd::CenterWindow(CWnd *pAlternateOwner)
{
    if (m_hWnd == NULL)
        return;
    const BOOL bChild = (GetStyle() & WS_CHILD) != 0;
    HWND hWndCenter = NULL;
    if (pAlternateOwner != NULL)
    {
        hWndCenter = pAlternateOwner->m_hWnd;
    }
    else
    {
        hWndCenter = bChild ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
        if (hWndCenter != NULL && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter)))
            hWndCenter = NULL;
    }

    // A child is placed in its parent's client area, a top-level window in
    // the work area, both in screen coordinates here.
    CRect rcArea;
    if (bChild)
    {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        ::MapWindowPoints(hWndParent, NULL, reinterpret_cast<LPPOINT>(&rcArea), 2);
    }
    else
    {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    }
    CRect rcCenter = rcArea;
    if (hWndCenter != NULL)
        ::GetWindowRect(hWndCenter, &rcCenter);

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int cx = rcWindow.right - rcWindow.left;
    const int cy = rcWindow.bottom - rcWindow.top;
    POINT pt = {KeepInside((rcCenter.left + rcCenter.right - cx) / 2, cx, rcArea.left, rcArea.right),
                KeepInside((rcCenter.top + rcCenter.bottom - cy) / 2, cy, rcArea.top, rcArea.bottom)};
    if (bChild)
        ::ScreenToClient(::GetParent(m_hWnd), &pt);
    ::SetWindowPos(m_hWnd, NULL, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- text and icon -----------------------------------------------------------

static void GetTextOf(HWND hWnd, CString &rString)
{
    const int nLength = hWnd != NULL ? ::GetWindowTextLengthA(hWnd) : 0;
    if (nLength <= 0)
    {
        rString.Empty();
        return;
    }
    ::GetWindowTextA(hWnd, rString.GetBuffer(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

void CWnd::GetWindowText(CString &rString) const
{
    GetTextOf(m_hWnd, rString);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    if (m_hWnd != NULL)
        return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
    if (nMaxCount > 0)
        lpszStringBuf[0] = '\0';
    return 0;
}

int CWnd::GetDlgItemText(int nID, CString &rString) const
{
    GetTextOf(m_hWnd != NULL ? ::GetDlgItem(m_hWnd, nID) : NULL, rString);
    return rString.GetLength();
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

// --- family ------------------------------------------------------------------

CWnd *CWnd::GetOwner() const
{
    if (m_hWnd == NULL)
        return NULL;
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    return FromHandle(hWndOwner != NULL ? hWndOwner : ::GetParent(m_hWnd));
}

// --- dialogs -----------------------------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    if (m_hWnd == NULL)
        return FALSE;
    AfxWindowThreadState &state = AfxGetWindowThreadState();
    const HWND hWndOuterLockout = state.hWndLockoutNotify;
    state.hWndLockoutNotify = m_hWnd;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    state.hWndLockoutNotify = hWndOuterLockout;
    return !dx.HasFailed();
}

void CWnd::DoDataExchange(CDataExchange *)
{
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (m_hWnd == NULL)
        return 0;
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption != NULL ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::PreTranslateMessage(MSG *)
{
    return FALSE;
}

// --- default handlers --------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC *) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnTimer(UINT) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnSetCursor(CWnd *, UINT, UINT) { return static_cast<BOOL>(Default()); }
UINT CWnd::OnNcHitTest(CPoint) { return static_cast<UINT>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd *) { Default(); }
void CWnd::OnKillFocus(CWnd *) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
