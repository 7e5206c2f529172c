// The machinery behind CWnd: handle maps, attaching and subclassing, the
// window procedure, dispatch with reflection, Default, and the end of a
// window's life.
#include "CWnd.h"

#include "CWinApp.h"
#include "TempObjects.h"
#include "ThreadState.h"
#include "WindowCreateHook.h"
#include "WindowThreadState.h"

AfxWindowThreadState &AfxGetWindowThreadState()
{
    return AfxThreadState<AfxWindowThreadState>();
}

// --- handle maps -------------------------------------------------------------

CWnd *CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    const auto &permanentMap = AfxGetWindowThreadState().permanentMap;
    auto found = permanentMap.find(hWnd);
    return found == permanentMap.end() ? NULL : found->second;
}

static void ReleaseTempWnd(CObject *pObject)
{
    CWnd *pWnd = static_cast<CWnd *>(pObject);
    pWnd->m_hWnd = NULL;
    delete pWnd;
}

CWnd *CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CWnd *pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    if (CObject *pTemp = AfxFindTempObject(&ReleaseTempWnd, hWnd))
        return static_cast<CWnd *>(pTemp);
    CWnd *pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    AfxAddTempObject(&ReleaseTempWnd, hWnd, pWnd);
    return pWnd;
}

CWnd *AfxWndFromHandle(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL || FromHandlePermanent(hWndNew) != NULL)
        return FALSE;
    AfxGetWindowThreadState().permanentMap[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && FromHandlePermanent(hWnd) == this)
        AfxGetWindowThreadState().permanentMap.erase(hWnd);
    m_hWnd = NULL;
    return hWnd;
}

// --- subclassing -------------------------------------------------------------

void CWnd::InstallWndProc()
{
    // The A form throughout: a common control is a Unicode window, and the
    // value saved may then be a thunk that only CallWindowProcA can call.
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == NULL || !::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    InstallWndProc();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd *pParent)
{
    if (pParent == NULL || pParent->m_hWnd == NULL)
        return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, nID));
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL || m_pfnSuper == NULL)
        return NULL;
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = NULL;
    return Detach();
}

void CWnd::PreSubclassWindow()
{
}

// --- creation ----------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT &)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE;
    CREATESTRUCT cs = {lpParam,  AfxGetInstanceHandle(), nIDorHMenu, hWndParent, nHeight, nWidth,
                       y,        x,                      static_cast<LONG>(dwStyle),
                       lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs))
        return FALSE;
    HWND hWnd;
    {
        CWndCreateHook hook(this, FALSE);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                 cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                 cs.lpCreateParams);
    }
    return hWnd != NULL && hWnd == m_hWnd;
}

// --- the window procedure ----------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd *pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    // Handlers run modal loops and message boxes: the current message is
    // saved around each dispatch.
    AfxWindowThreadState &state = AfxGetWindowThreadState();
    const MSG outerMessage = state.currentMessage;
    state.currentMessage.hwnd = hWnd;
    state.currentMessage.message = message;
    state.currentMessage.wParam = wParam;
    state.currentMessage.lParam = lParam;

    // pWnd may be deleted by the time either call returns.
    LRESULT lResult = message == WM_NCDESTROY ? CWnd::OnNcDestroyMessage(pWnd, wParam, lParam)
                                              : pWnd->WindowProc(message, wParam, lParam);
    state.currentMessage = outerMessage;
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hWnd == NULL)
        return 0;
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG &current = AfxGetWindowThreadState().currentMessage;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

static BOOL IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, pResult);

    // The control that sent it draws or colours itself first.
    HWND hWndChild = NULL;
    if (IsCtlColorMessage(message))
        hWndChild = reinterpret_cast<HWND>(lParam);
    else if (message == WM_DRAWITEM && reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->CtlType != ODT_MENU)
        hWndChild = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
    CWnd *pChild = FromHandlePermanent(hWndChild);
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult))
    {
        if (message == WM_DRAWITEM)
            *pResult = TRUE;
        return TRUE;
    }

    const AfxMessage msg = {message, wParam, lParam, 0};
    return DispatchToMap(message, 0, 0, msg, *pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (hWndCtrl != NULL)
    {
        if (AfxGetWindowThreadState().hWndLockoutNotify == m_hWnd)
            return TRUE;
        CWnd *pChild = FromHandlePermanent(hWndCtrl);
        LRESULT lChildResult = 0;
        if (pChild != NULL && pChild != this &&
            pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &lChildResult))
            return TRUE;
    }
    const AfxMessage msg = {WM_COMMAND, wParam, lParam, nID};
    LRESULT lResult = 0;
    return DispatchToMap(WM_COMMAND, nCode, nID, msg, lResult);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT *pResult)
{
    const NMHDR *pNMHDR = reinterpret_cast<const NMHDR *>(lParam);
    CWnd *pChild = FromHandlePermanent(pNMHDR->hwndFrom);
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    const UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    const AfxMessage msg = {WM_NOTIFY, wParam, lParam, nID};
    return DispatchToMap(WM_NOTIFY, pNMHDR->code, nID, msg, *pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult)
{
    if (message == WM_COMMAND)
    {
        const AfxMessage msg = {message, wParam, lParam, LOWORD(wParam)};
        return DispatchToMap(AFX_WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, msg, *pResult);
    }
    if (message == WM_NOTIFY)
    {
        const NMHDR *pNMHDR = reinterpret_cast<const NMHDR *>(lParam);
        const AfxMessage msg = {message, wParam, lParam, static_cast<UINT>(pNMHDR->idFrom)};
        return DispatchToMap(AFX_WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0, msg, *pResult);
    }
    if (IsCtlColorMessage(message))
    {
        const AfxMessage msg = {message, wParam, lParam, message - WM_CTLCOLORMSGBOX};
        return DispatchToMap(AFX_WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, msg, *pResult);
    }
    return FALSE;
}

// --- end of life -------------------------------------------------------------

LRESULT CWnd::OnNcDestroyMessage(CWnd *pWnd, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = pWnd->DefWindowProc(WM_NCDESTROY, wParam, lParam);
    if (pWnd->m_pfnSuper != NULL)
        ::SetWindowLongPtrA(pWnd->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
    pWnd->m_pfnSuper = NULL;
    pWnd->Detach();

    CWinApp *pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == pWnd)
    {
        pApp->m_pMainWnd = NULL;
        ::PostQuitMessage(0);
    }
    // An object whose window died in its creation is its creator's to delete.
    if (!CWndCreateHook::IsCreating(pWnd))
        pWnd->PostNcDestroy();   // may delete the object
    return lResult;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != NULL && ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy()
{
}

CWnd::~CWnd()
{
    // The insertion places (wndTop...) hold pseudo-handles, never windows.
    if (m_hWnd == NULL || !::IsWindow(m_hWnd) || FromHandlePermanent(m_hWnd) != this)
        return;
    HWND hWnd = m_hWnd;
    if (m_pfnSuper != NULL)
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = NULL;
    Detach();
    ::DestroyWindow(hWnd);
}
