// A sample application over the class library, started by its tests and
// driven by real input: a main dialog made hidden and without a parent, a
// page inside it, a modal dialog, a self-deleting pop-up and menus. Every
// event it sees goes to the log (SampleLog.h).
#include "FoundationUi.h"
#include "SampleIds.h"
#include "SampleLog.h"
#include "SamplePage.h"

namespace
{
// A pop-up under the page that shows for a moment, then deletes itself
// from its own timer; the object's deletion destroys the window.
class CSamplePopup : public CWnd
{
public:
    static int s_nAlive;

    CSamplePopup() { ++s_nAlive; }
    ~CSamplePopup() override
    {
        --s_nAlive;
        SampleLog("popup deleted");
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        SetTimer(1, 300);
        return 0;
    }
    afx_msg void OnTimer(UINT nIDEvent)
    {
        SampleLog("popup timer %u", nIDEvent);
        delete this;
    }
    DECLARE_MESSAGE_MAP()
};

int CSamplePopup::s_nAlive = 0;

BEGIN_MESSAGE_MAP(CSamplePopup, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Opened without a parent: the main window is its owner.
class CSampleModal : public CDialog
{
public:
    CSampleModal() : CDialog(IDD_SAMPLE_MODAL) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CWnd *pMain = AfxGetMainWnd();
        SampleLog("modal up; main window enabled %d", pMain != NULL && pMain->IsWindowEnabled());
        return TRUE;
    }
    afx_msg void OnAsk()
    {
        SampleLog("box answered %d", AfxMessageBox("Keep the changes?", MB_YESNO | MB_ICONQUESTION));
    }
    // Asks the main window to go while this dialog runs.
    afx_msg void OnCloseAll()
    {
        AfxGetMainWnd()->PostMessage(WM_SAMPLE_CLOSE_MAIN);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleModal, CDialog)
    ON_BN_CLICKED(IDC_ASK, OnAsk)
    ON_BN_CLICKED(IDC_CLOSE_ALL, OnCloseAll)
END_MESSAGE_MAP()

class CSampleMain : public CDialog
{
public:
    CSampleMain() : CDialog(IDD_SAMPLE_MAIN) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_page.Create(IDD_SAMPLE_PAGE, this);
        m_page.SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        return TRUE;
    }
    void OnOK() override
    {
        SampleLog("main OnOK");
        CDialog::OnOK();
    }
    // Closing the main window ends the program.
    void OnCancel() override
    {
        SampleLog("main OnCancel");
        DestroyWindow();
    }
    void PostNcDestroy() override { delete this; }

    afx_msg void OnOpenModal()
    {
        CSampleModal modal;
        const int nResult = modal.DoModal();
        SampleLog("modal returned %d; main window enabled %d", nResult, IsWindowEnabled());
    }
    afx_msg void OnShowPopup()
    {
        CRect rect;
        m_page.GetWindowRect(&rect);
        CSamplePopup *pPopup = new CSamplePopup;
        if (!pPopup->CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0, NULL, ::GetSysColorBrush(COLOR_INFOBK)),
                              "Pop-up", WS_POPUP | WS_BORDER | WS_VISIBLE, rect.right - 160,
                              rect.bottom - 60, 150, 50, m_page.m_hWnd, NULL))
            delete pPopup;
        SampleLog("popup shown");
    }
    afx_msg void OnExit()
    {
        SampleLog("main command %u", ID_APP_EXIT_SAMPLE);
        DestroyWindow();
    }
    afx_msg LRESULT OnCloseMain(WPARAM, LPARAM)
    {
        SampleLog("main window destroys itself");
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    CSamplePage m_page;
};

BEGIN_MESSAGE_MAP(CSampleMain, CDialog)
    ON_BN_CLICKED(IDC_OPEN_MODAL, OnOpenModal)
    ON_BN_CLICKED(IDC_SHOW_POPUP, OnShowPopup)
    ON_COMMAND(ID_APP_EXIT_SAMPLE, OnExit)
    ON_MESSAGE(WM_SAMPLE_CLOSE_MAIN, OnCloseMain)
END_MESSAGE_MAP()

class CSampleApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        AfxInitCommonControls();
        CSampleMain *pMain = new CSampleMain;
        m_pMainWnd = pMain;
        if (!pMain->Create(IDD_SAMPLE_MAIN))
            return FALSE;
        SampleLog("main made; visible %d, parent %d", pMain->IsWindowVisible(),
                  pMain->GetParent() != NULL);
        pMain->SetWindowPos(NULL, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        pMain->ShowWindow(SW_SHOW);
        pMain->SetForegroundWindow();
        SampleLog("ready");
        return TRUE;
    }
    int ExitInstance() override
    {
        SampleLog("ExitInstance; pop-ups alive %d", CSamplePopup::s_nAlive);
        return CWinApp::ExitInstance();
    }
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override
    {
        SampleLog("WinHelp 0x%lx %u", static_cast<unsigned long>(dwData), nCmd);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CSampleApp theApp;
} // namespace
