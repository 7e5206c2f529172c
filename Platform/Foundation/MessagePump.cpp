// The message pump shared by CWinApp::Run and the modal loops, and the walk
// that offers each message to the windows it concerns.
#include "CWinApp.h"

#include "CWnd.h"

BOOL AfxPumpMessage(MSG *pMsg)
{
    // -1 (a bad argument) cannot happen with no window filter; it ends the
    // loop like WM_QUIT rather than spinning.
    if (::GetMessageA(pMsg, NULL, 0, 0) <= 0)
        return FALSE;
    if (!AfxPreTranslateMessage(pMsg))
    {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
    }
    return TRUE;
}

BOOL AfxPreTranslateMessage(MSG *pMsg)
{
    CWinApp *pApp = AfxGetApp();
    return pApp != NULL ? pApp->PreTranslateMessage(pMsg) : AfxWalkPreTranslateTree(pMsg);
}

// ::GetParent gives the parent of a child and the owner of a pop-up, so the
// walk goes control, page, main window, and pop-up, owner.
BOOL AfxWalkPreTranslateTree(MSG *pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL; hWnd = ::GetParent(hWnd))
    {
        CWnd *pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}
