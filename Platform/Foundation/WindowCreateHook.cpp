// The creation hook.
#include "WindowCreateHook.h"

#include "CWnd.h"

namespace
{
struct CreateHookState
{
    HHOOK hHook = NULL;
    int nArmed = 0;           // scopes alive on this thread
    CWnd *pWndInit = NULL;    // the object waiting for its window
    BOOL bDialog = FALSE;
    const CWndCreateHook *pInnermost = NULL;
};

CreateHookState &GetCreateHookState()
{
    static thread_local CreateHookState state;
    return state;
}
} // namespace

CWndCreateHook::CWndCreateHook(CWnd *pWnd, BOOL bDialog) : m_pWnd(pWnd)
{
    CreateHookState &state = GetCreateHookState();
    m_pOuter = state.pInnermost;
    state.pInnermost = this;
    m_pSavedWnd = state.pWndInit;
    m_bSavedDialog = state.bDialog;
    if (state.nArmed++ == 0)
        state.hHook = ::SetWindowsHookExA(WH_CBT, CbtProc, NULL, ::GetCurrentThreadId());
    state.pWndInit = pWnd;
    state.bDialog = bDialog;
}

CWndCreateHook::~CWndCreateHook()
{
    CreateHookState &state = GetCreateHookState();
    state.pInnermost = m_pOuter;
    state.pWndInit = m_pSavedWnd;
    state.bDialog = m_bSavedDialog;
    if (--state.nArmed == 0 && state.hHook != NULL)
    {
        ::UnhookWindowsHookEx(state.hHook);
        state.hHook = NULL;
    }
}

BOOL CWndCreateHook::IsCreating(const CWnd *pWnd)
{
    for (const CWndCreateHook *pScope = GetCreateHookState().pInnermost; pScope != NULL; pScope = pScope->m_pOuter)
        if (pScope->m_pWnd == pWnd)
            return TRUE;
    return FALSE;
}

// Wine may create the default IME window inside the first top-level
// CreateWindowEx of a thread.
BOOL CWndCreateHook::IsImeWindow(HWND hWnd)
{
    if (::GetClassLongA(hWnd, GCL_STYLE) & CS_IME)
        return TRUE;
    char szClass[8];
    return ::GetClassNameA(hWnd, szClass, sizeof szClass) > 0 && lstrcmpiA(szClass, "IME") == 0;
}

BOOL CWndCreateHook::IsDialogWindow(HWND hWnd)
{
    char szClass[16];
    return ::GetClassNameA(hWnd, szClass, sizeof szClass) > 0 && lstrcmpA(szClass, "#32770") == 0;
}

LRESULT CALLBACK CWndCreateHook::CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CreateHookState &state = GetCreateHookState();
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (nCode == HCBT_CREATEWND && state.pWndInit != NULL && !IsImeWindow(hWnd) &&
        (!state.bDialog || IsDialogWindow(hWnd)))
    {
        CWnd *pWnd = state.pWndInit;
        state.pWndInit = NULL;
        if (pWnd->Attach(hWnd))
        {
            pWnd->PreSubclassWindow();
            pWnd->InstallWndProc();
        }
    }
    return ::CallNextHookEx(state.hHook, nCode, wParam, lParam);
}
