// CWnd: a C++ object attached to a window, whose message map receives the
// window's messages.
//
// A window is attached either while Windows creates it (CreateEx, and
// CDialog::Create/DoModal) or afterwards by subclassing (SubclassWindow,
// SubclassDlgItem, DDX_Control). While attached, the object is the
// window's permanent CWnd: FromHandle returns it. For any other window
// FromHandle returns a temporary CWnd that never owns the window and lives
// until the application's message loop next goes idle.
//
// A CWnd without a window (never created, or already destroyed) returns
// the failure value from every member and never hands a NULL window to the
// system: several calls mean something else for NULL (PostMessage posts to
// the thread, SetTimer makes a thread timer, InvalidateRect repaints every
// window, GetDC gives the screen).
//
// Lifetime: at WM_NCDESTROY the object is detached, then the virtual
// PostNcDestroy runs and may delete the object; not for a window that dies
// inside its own creation: a failed Create leaves the object to the code
// that called it, which deletes it. A handler may delete its
// own object ("delete this"): nothing of the object is touched afterwards.
// Deleting an object whose window lives detaches it first and then
// destroys the window, so none of its handlers runs for that.
#pragma once

#include <windows.h>

#include <type_traits>

#include "CString.h"
#include "CPoint.h"
#include "CRect.h"
#include "CSize.h"
#include "MessageMap.h"

class CDC;
class CFont;
class CRgn;
class CDataExchange;

class CWnd : public CCmdTarget
{
public:
    CWnd() = default;
    // With a live window: detaches, then destroys the window (see above).
    ~CWnd() override;

    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    HWND m_hWnd = NULL;

    // The insertion places of SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // --- handles ------------------------------------------------------------
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The attached object, else a temporary; NULL for NULL.
    static CWnd *FromHandle(HWND hWnd);
    // The attached object, or NULL.
    static CWnd *FromHandlePermanent(HWND hWnd);
    // Makes this the window's permanent object without subclassing it.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // --- creation and subclassing -------------------------------------------
    virtual BOOL PreCreateWindow(CREATESTRUCT &cs);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = NULL);
    // FALSE for NULL, for a window attached to another object, and when this
    // object already holds a window.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd *pParent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow();

    // --- lifetime -----------------------------------------------------------
    virtual BOOL DestroyWindow();
    virtual void PostNcDestroy();

    // --- style --------------------------------------------------------------
    DWORD GetStyle() const { return m_hWnd ? static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)) : 0; }
    DWORD GetExStyle() const { return m_hWnd ? static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)) : 0; }
    // With nFlags, SetWindowPos(NOSIZE|NOMOVE|NOZORDER|NOACTIVATE|nFlags) follows.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // --- geometry -----------------------------------------------------------
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { if (m_hWnd) ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const { if (m_hWnd) ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        if (m_hWnd)
            ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd *pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return m_hWnd && ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : NULL,
                                        x, y, cx, cy, nFlags);
    }
    // Only for a real HWND, so that SetWindowPos(NULL, ...) stays the CWnd form.
    template <class Handle, typename std::enable_if<std::is_same<Handle, HWND>::value, int>::type = 0>
    BOOL SetWindowPos(Handle hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return m_hWnd && ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    // Over pAlternate; else over the owner (a child: the parent) when it is
    // visible and not minimised; else in the work area. Kept inside the
    // work area.
    void CenterWindow(CWnd *pAlternateOwner = NULL);
    // On success the window owns the region.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return m_hWnd ? ::SetWindowRgn(m_hWnd, hRgn, bRedraw) : 0; }

    // --- state --------------------------------------------------------------
    BOOL ShowWindow(int nCmdShow) { return m_hWnd && ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return m_hWnd && ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return m_hWnd && ::IsZoomed(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return m_hWnd && ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return m_hWnd && ::IsWindowEnabled(m_hWnd); }
    BOOL SetForegroundWindow() { return m_hWnd && ::SetForegroundWindow(m_hWnd); }

    // --- text, font, icon ---------------------------------------------------
    void SetWindowText(LPCTSTR lpszString) { if (m_hWnd) ::SetWindowTextA(m_hWnd, lpszString); }
    // Any length.
    void GetWindowText(CString &rString) const;
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const { return m_hWnd ? ::GetWindowTextLengthA(m_hWnd) : 0; }
    // NULL when the window has no font of its own.
    CFont *GetFont() const;
    void SetFont(CFont *pFont, BOOL bRedraw = TRUE);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);

    // --- family -------------------------------------------------------------
    // ::GetParent: the owner of a pop-up.
    CWnd *GetParent() const { return m_hWnd ? FromHandle(::GetParent(m_hWnd)) : NULL; }
    // The owner, else the parent.
    CWnd *GetOwner() const;
    CWnd *GetDlgItem(int nID) const { return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, nID)) : NULL; }
    int GetDlgCtrlID() const { return m_hWnd ? ::GetDlgCtrlID(m_hWnd) : 0; }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { if (m_hWnd) ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString &rString) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_hWnd ? ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam) : 0;
    }

    // --- focus and capture --------------------------------------------------
    // The window that had the focus; NULL and nothing changes without a window.
    CWnd *SetFocus() { return m_hWnd ? FromHandle(::SetFocus(m_hWnd)) : NULL; }
    static CWnd *GetFocus() { return FromHandle(::GetFocus()); }
    CWnd *SetCapture() { return m_hWnd ? FromHandle(::SetCapture(m_hWnd)) : NULL; }
    static CWnd *GetCapture() { return FromHandle(::GetCapture()); }

    // --- messages and timers ------------------------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_hWnd && ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL)
    {
        return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer) : 0;
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return m_hWnd && ::KillTimer(m_hWnd, nIDEvent); }

    // --- painting -----------------------------------------------------------
    void Invalidate(BOOL bErase = TRUE) { InvalidateRect(NULL, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { if (m_hWnd) ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void UpdateWindow() { if (m_hWnd) ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, CRgn *prgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    // A temporary over the window's DC; NULL without a window.
    CDC *GetDC();
    int ReleaseDC(CDC *pDC);

    // --- dialogs ------------------------------------------------------------
    // Runs DoDataExchange; FALSE when a part of it failed. Control
    // notifications to this window are dropped meanwhile.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange *pDX);
    // Owned by this window; a NULL caption is the application's name.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);

    // --- message handling ---------------------------------------------------
    // The message loop offers each message to the permanent objects of the
    // window it is for and of that window's parents and owners, innermost
    // first; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG *pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The previous window procedure (or DefWindowProc) with these arguments.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The previous window procedure with the current message as it arrived.
    LRESULT Default();

    // WM_COMMAND: reflection to the control, then this window's map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: reflection to the control, then this window's map.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT *pResult);
    // A notification a parent hands back to the control that sent it
    // (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM); TRUE consumes it
    // with *pResult. The base looks up the reflected entries of the map;
    // owner-drawn controls override it for WM_DRAWITEM.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult);

protected:
    // The default handlers: each calls Default().
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message);
    afx_msg UINT OnNcHitTest(CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSetFocus(CWnd *pOldWnd);
    afx_msg void OnKillFocus(CWnd *pNewWnd);
    afx_msg HCURSOR OnQueryDragIcon();

    // Message handling without the reflection hooks: WM_COMMAND, WM_NOTIFY,
    // WM_CTLCOLOR* and WM_DRAWITEM, then the map. TRUE when handled.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult);
    // The reflected entries of this object's map.
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult);

    // The procedure the window had before this object subclassed it.
    WNDPROC m_pfnSuper = NULL;

private:
    friend class CWndCreateHook;
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    explicit CWnd(HWND hWndInsertAfter) : m_hWnd(hWndInsertAfter) {}
    // Installs the library's window procedure, keeping the previous one.
    void InstallWndProc();
    // WM_NCDESTROY: default processing, detach, end of the main window,
    // then PostNcDestroy.
    static LRESULT OnNcDestroyMessage(CWnd *pWnd, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every attached window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
