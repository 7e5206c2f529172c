// A tiny application for the entry tests: one CWinApp whose life is chosen
// by QFW_APP_SCENARIO and written, event by event, to the file QFW_APP_LOG.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FoundationUi.h"
#include "UiTestIds.h"

namespace
{
const UINT WM_SCENARIO_STEP = WM_APP + 40;

void Log(const char *pszFormat, ...)
{
    const char *pszPath = getenv("QFW_APP_LOG");
    FILE *pFile = pszPath != NULL ? fopen(pszPath, "a") : NULL;
    if (pFile == NULL)
        return;
    va_list args;
    va_start(args, pszFormat);
    vfprintf(pFile, pszFormat, args);
    va_end(args);
    fclose(pFile);
}

bool IsScenario(const char *pszName)
{
    const char *pszScenario = getenv("QFW_APP_SCENARIO");
    return pszScenario != NULL && strcmp(pszScenario, pszName) == 0;
}

// The main window: logs its end, and destroys itself on request.
class CMainWindow : public CDialog
{
public:
    CMainWindow() : CDialog(IDD_MAIN) {}

    BOOL DestroyWindow() override
    {
        Log("destroywindow;");
        return CDialog::DestroyWindow();
    }

protected:
    afx_msg void OnDestroy()
    {
        Log("ondestroy;");
        CDialog::OnDestroy();
    }
    afx_msg LRESULT OnStep(WPARAM wParam, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// A modal dialog that, once up, asks the main window to go.
class CModalDialog : public CDialog
{
public:
    explicit CModalDialog(CWnd *pMainToDestroy) : CDialog(IDD_MODAL), m_pMainToDestroy(pMainToDestroy) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_SCENARIO_STEP);
        return TRUE;
    }
    afx_msg LRESULT OnStep(WPARAM, LPARAM)
    {
        if (m_pMainToDestroy != NULL)
            m_pMainToDestroy->SendMessage(WM_SCENARIO_STEP, 1);
        else
            EndDialog(IDOK);
        return 0;
    }
    CWnd *m_pMainToDestroy;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainWindow, CDialog)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SCENARIO_STEP, OnStep)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CModalDialog, CDialog)
    ON_MESSAGE(WM_SCENARIO_STEP, OnStep)
END_MESSAGE_MAP()

// wParam 0: run a modal dialog that destroys this window; 1: be destroyed.
LRESULT CMainWindow::OnStep(WPARAM wParam, LPARAM)
{
    if (wParam == 1)
    {
        DestroyWindow();
        return 0;
    }
    CModalDialog modal(this);
    Log("modal %d;", modal.DoModal());
    return 0;
}

// Answers the first message box with OK after noting what it shows.
HHOOK g_hBoxHook = NULL;

LRESULT CALLBACK BoxHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    HWND hBox = reinterpret_cast<HWND>(wParam);
    char szClass[16] = "";
    if (nCode == HCBT_ACTIVATE && ::GetClassNameA(hBox, szClass, sizeof szClass) > 0 &&
        strcmp(szClass, "#32770") == 0)
    {
        char szCaption[64] = "";
        ::GetWindowTextA(hBox, szCaption, sizeof szCaption);
        HICON hIcon = NULL;
        for (HWND hChild = ::GetWindow(hBox, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        {
            if (HICON hFound = reinterpret_cast<HICON>(::SendMessageA(hChild, STM_GETICON, 0, 0)))
                hIcon = hFound;
        }
        Log("box [%s] %s owner=%s;", szCaption,
            hIcon == ::LoadIconA(NULL, IDI_EXCLAMATION) ? "exclamation" : "other-icon",
            ::GetWindow(hBox, GW_OWNER) != NULL ? "some" : "none");
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(g_hBoxHook, nCode, wParam, lParam);
}

class CTestApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        Log("init;");
        if (IsScenario("cmdline"))
        {
            Log("[%s]", m_lpCmdLine);
            return FALSE;
        }
        if (IsScenario("splash"))
        {
            CCommandLineInfo info;
            ParseCommandLine(info);
            Log("splash=%d;", info.m_bShowSplash);
            return FALSE;
        }
        if (IsScenario("messagebox"))
        {
            g_hBoxHook = ::SetWindowsHookExA(WH_CBT, BoxHook, NULL, ::GetCurrentThreadId());
            Log("result=%d;", AfxMessageBox("Something to say"));
            ::UnhookWindowsHookEx(g_hBoxHook);
            return FALSE;
        }
        if (IsScenario("quit-code"))
        {
            ::PostQuitMessage(3);
            return TRUE;
        }
        if (IsScenario("modal-main"))
        {
            CModalDialog dialog(NULL);
            m_pMainWnd = &dialog;
            Log("modal %d;", dialog.DoModal());
            return FALSE;
        }

        CMainWindow *pMain = new CMainWindow;
        m_pMain = pMain;
        if (!pMain->Create(IDD_MAIN))
            return FALSE;
        m_pMainWnd = pMain;
        if (IsScenario("init-fails"))
            return FALSE;
        if (IsScenario("main-destroyed"))
            pMain->PostMessage(WM_SCENARIO_STEP, 1);
        if (IsScenario("destroyed-in-modal"))
            pMain->PostMessage(WM_SCENARIO_STEP, 0);
        return TRUE;
    }

    int ExitInstance() override
    {
        Log("exit main=%s;", m_pMainWnd != NULL ? "set" : "null");
        delete m_pMain;
        return CWinApp::ExitInstance();
    }

private:
    CMainWindow *m_pMain = NULL;
};

CTestApp theApp;
} // namespace
