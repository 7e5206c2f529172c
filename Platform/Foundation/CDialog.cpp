// CDialog: templates, the modal loop and its owner rule, help ids.
#include "CDialog.h"

#include "CWinApp.h"
#include "WindowCreateHook.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd *pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd), m_nIDTemplate(nIDTemplate)
{
}

// The dialog manager's part: the window is subclassed in front of it, so
// everything the maps leave goes to DefDlgProc, which asks this for nothing.
static INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HWND CDialog::CreateFromTemplate(HWND hWndOwner)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInstance, hResource) : NULL;
    const DLGTEMPLATE *pTemplate = hTemplate != NULL ? static_cast<const DLGTEMPLATE *>(::LockResource(hTemplate)) : NULL;
    if (pTemplate == NULL || m_hWnd != NULL)
        return NULL;

    AfxInitCommonControls();
    HWND hWnd;
    {
        CWndCreateHook hook(this, TRUE);
        hWnd = ::CreateDialogIndirectParamA(hInstance, pTemplate, hWndOwner, AfxDlgProc, 0);
    }
    if (hWnd != NULL && hWnd != m_hWnd)
    {
        // Not ours (cannot happen while the hook works); leave nothing behind.
        ::DestroyWindow(hWnd);
        return NULL;
    }
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd *pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    return CreateFromTemplate(pParentWnd != NULL ? pParentWnd->m_hWnd : NULL) != NULL;
}

int CDialog::DoModal()
{
    HWND hWndOwner = NULL;
    if (m_pParentWnd != NULL)
    {
        hWndOwner = m_pParentWnd->m_hWnd;
    }
    else if (CWnd *pMainWnd = AfxGetMainWnd())
    {
        if (pMainWnd != this)
            hWndOwner = pMainWnd->m_hWnd;
    }
    if (hWndOwner != NULL)
        hWndOwner = ::GetAncestor(hWndOwner, GA_ROOT);

    // Nested loops: only what this loop disabled is enabled again.
    const BOOL bDisabledOwner = hWndOwner != NULL && ::IsWindowEnabled(hWndOwner);
    if (bDisabledOwner)
        ::EnableWindow(hWndOwner, FALSE);

    m_bModal = TRUE;
    m_bModalEnded = FALSE;
    m_nModalResult = -1;
    HWND hWndDialog = CreateFromTemplate(hWndOwner);
    const int nResult = hWndDialog != NULL ? RunModalLoop() : -1;
    m_bModal = FALSE;

    BOOL bWasActive = FALSE;
    if (m_hWnd != NULL)
    {
        bWasActive = ::GetActiveWindow() == m_hWnd;
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (bDisabledOwner && ::IsWindow(hWndOwner))
        ::EnableWindow(hWndOwner, TRUE);
    if (bWasActive && hWndOwner != NULL && ::IsWindow(hWndOwner))
        ::SetActiveWindow(hWndOwner);
    if (m_hWnd != NULL)
        DestroyWindow();
    return nResult;
}

int CDialog::RunModalLoop()
{
    BOOL bShown = (GetStyle() & WS_VISIBLE) != 0;
    MSG msg;
    while (!m_bModalEnded && m_hWnd != NULL)
    {
        // Shown once what the dialog posted to itself while starting has run.
        if (!bShown && !::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE))
        {
            bShown = TRUE;
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            continue;
        }
        if (!AfxPumpMessage(&msg))
        {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal)
    {
        m_nModalResult = nResult;
        m_bModalEnded = TRUE;
        // Wakes the loop should this run inside a wait for a message.
        PostMessage(WM_NULL);
    }
    else if (m_hWnd != NULL)
    {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

// Enter and Esc in a page (a DS_CONTROL child dialog) are the page's own:
// Wine's dialog manager hands them to the top-level dialog around the page,
// where IDOK would end the main window. Keys the focused control wants
// stay with it.
BOOL CDialog::PreTranslatePageKey(MSG *pMsg)
{
    const WPARAM wKey = pMsg->wParam;
    if (pMsg->message != WM_KEYDOWN || (wKey != VK_RETURN && wKey != VK_ESCAPE) ||
        (GetStyle() & (WS_CHILD | DS_CONTROL)) != (WS_CHILD | DS_CONTROL))
        return FALSE;
    const LRESULT lCode = ::SendMessageA(pMsg->hwnd, WM_GETDLGCODE, wKey, reinterpret_cast<LPARAM>(pMsg));
    if (lCode & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
        return FALSE;

    UINT nID = IDCANCEL;
    if (wKey == VK_RETURN)
    {
        // A focused push button is the one Enter presses; else the page's default.
        const LRESULT lDefault = SendMessage(DM_GETDEFID);
        nID = HIWORD(lDefault) == DC_HASDEFID ? LOWORD(lDefault) : IDOK;
        if (lCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
            nID = ::GetDlgCtrlID(pMsg->hwnd);
    }
    HWND hButton = ::GetDlgItem(m_hWnd, nID);
    SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG *pMsg)
{
    const UINT message = pMsg->message;
    const BOOL bKeyOrMouse = (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                             (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
    if (!bKeyOrMouse || m_hWnd == NULL)
        return FALSE;
    return PreTranslatePageKey(pMsg) || ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::GotoDlgCtrl(CWnd *pWndCtrl)
{
    if (pWndCtrl != NULL && pWndCtrl->m_hWnd != NULL)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;   // the handler may have deleted this dialog
    const UINT nID = LOWORD(wParam);
    CWinApp *pApp = AfxGetApp();
    if (HIWORD(wParam) != 0 || nID < 0x8000 || nID > 0xEFFF || pApp == NULL)
        return FALSE;
    const AfxMessage msg = {WM_COMMAND, wParam, lParam, nID};
    LRESULT lResult = 0;
    return pApp->DispatchToMap(WM_COMMAND, 0, nID, msg, lResult);
}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam != 0 || m_nIDHelp == 0)
        return FALSE;
    if (CWinApp *pApp = AfxGetApp())
        pApp->WinHelp(HID_BASE_RESOURCE + m_nIDHelp, HELP_CONTEXT);
    return TRUE;
}
