// With an application object: commands routed to the application's map,
// the help walk, and the modal loop with its owner rule.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FoundationUi.h"
#include "RealInput.h"
#include "TestScreens.h"
#include "GuiPump.h"
#include "UiTestIds.h"

namespace
{
const UINT ID_APP_COMMAND = 0x8123;
const UINT WM_STEP = WM_APP + 30;
const UINT WM_THREAD_NOTE = WM_APP + 31;
std::string g_log;

class CTestApp : public CWinApp
{
public:
    std::vector<DWORD_PTR> m_help;
    int m_nKeyDowns = 0;
    int m_nThreadMessages = 0;

    void WinHelp(DWORD_PTR dwData, UINT) override { m_help.push_back(dwData); }
    BOOL PreTranslateMessage(MSG *pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            ++m_nKeyDowns;
        if (pMsg->message == WM_THREAD_NOTE && pMsg->hwnd == NULL)
            ++m_nThreadMessages;
        return CWinApp::PreTranslateMessage(pMsg);
    }

protected:
    afx_msg void OnAppCommand() { g_log += "app;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
    ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
END_MESSAGE_MAP()

CTestApp theApp;

// A control that handles the context menu's command itself.
class CCommandControl : public CWnd
{
protected:
    afx_msg void OnChildCommand() { g_log += "control;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandControl, CWnd)
    ON_COMMAND(ID_CMD_CHILD, OnChildCommand)
END_MESSAGE_MAP()

class CRoutingPage : public CDialog
{
public:
    CRoutingPage() : CDialog(IDD_PAGE) {}
    CCommandControl m_list;

    void OnOK() override {}
    void OnCancel() override {}

protected:
    void DoDataExchange(CDataExchange *pDX) override { DDX_Control(pDX, IDC_LIST, m_list); }
};

class CRoutingMain : public CDialog
{
public:
    CRoutingMain() : CDialog(IDD_MAIN) {}
    CRoutingPage m_page;

    void OnOK() override {}
    void OnCancel() override {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_page.Create(IDD_PAGE, this);
        m_page.SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return TRUE;
    }
    afx_msg void OnExit() { g_log += "main-exit;"; }
    afx_msg void OnMainButton() { g_log += "main-button;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingMain, CDialog)
    ON_COMMAND(ID_CMD_EXIT, OnExit)
    ON_COMMAND(IDC_MAIN_BUTTON, OnMainButton)
END_MESSAGE_MAP()

class AppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        theApp.m_help.clear();
        ASSERT_TRUE(m_main.Create(IDD_MAIN));
        theApp.m_pMainWnd = &m_main;
        m_main.SetWindowPos(NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void TearDown() override
    {
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
        theApp.m_pMainWnd = NULL;
        // Destroying the main window asked the loop to end.
        MSG msg;
        while (::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        AfxDeleteTempObjects();
    }
    void Show()
    {
        m_main.ShowWindow(SW_SHOW);
        m_main.SetForegroundWindow();
        PumpFor(0);
    }

    CRoutingMain m_main;
};

// --- command routing -----------------------------------------------------------

TEST_F(AppTest, OnCommandAlsoTakesAButtonsClick)
{
    Show();
    SaveTestScreen(m_main.m_hWnd, "main_with_page");
    ClickControl(m_main.GetDlgItem(IDC_MAIN_BUTTON)->m_hWnd);
    EXPECT_TRUE(PumpUntil([] { return g_log == "main-button;"; }));
}

TEST_F(AppTest, APagesUnhandledMenuCommandNeverReachesItsParent)
{
    m_main.m_page.SendMessage(WM_COMMAND, ID_CMD_EXIT, 0);
    m_main.m_page.SendMessage(WM_COMMAND, ID_APP_COMMAND, 0);
    EXPECT_EQ("app;", g_log);
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(AppTest, CommandsOutsideTheApplicationRangeStayWithTheDialog)
{
    // The same handler id below 0x8000, or with a notification code, is not
    // the application's.
    m_main.m_page.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, 1), 0);
    EXPECT_EQ("", g_log);
}

// Logs the commands that reach it, then routes them as any dialog does.
class CPlainDialog : public CDialog
{
public:
    CPlainDialog() : CDialog(IDD_PLAIN) {}

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        g_log += "command " + std::to_string(LOWORD(wParam)) + ";";
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST_F(AppTest, AbortButtonReachesTheDialogAndDoesNothing)
{
    CPlainDialog plain;
    ASSERT_TRUE(plain.Create(IDD_PLAIN, &m_main));
    plain.ShowWindow(SW_SHOW);
    plain.SetForegroundWindow();
    PumpFor(0);
    SaveTestScreen(plain.m_hWnd, "plain_dialog");
    ClickControl(plain.GetDlgItem(IDABORT)->m_hWnd);
    EXPECT_TRUE(PumpUntil([] { return !g_log.empty(); }));
    PumpFor(200);
    EXPECT_EQ("command 3;", g_log);
    EXPECT_TRUE(plain.IsWindowVisible());
    plain.DestroyWindow();
}

// A key stroke for the menu's own loop: the kit's input pumps messages
// itself, which would take them from the menu.
void SendKeyStroke(WORD wVk)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = wVk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// Shows the open menu, then chooses its first item.
VOID CALLBACK ChooseFirstItem(HWND hWnd, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(hWnd, idEvent);
    SaveTestScreen(NULL, "context_menu_open");
    SendKeyStroke(VK_DOWN);
    SendKeyStroke(VK_RETURN);
}

TEST_F(AppTest, AMenuOwnedByAControlSendsItsCommandToTheControl)
{
    Show();
    HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDM_CONTEXT));
    ASSERT_NE(nullptr, hMenu);
    CRect rc;
    m_main.m_page.m_list.GetWindowRect(&rc);
    ::SetTimer(m_main.m_hWnd, 77, 200, ChooseFirstItem);
    EXPECT_TRUE(::TrackPopupMenu(::GetSubMenu(hMenu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left + 5,
                                 rc.top + 5, 0, m_main.m_page.m_list.m_hWnd, NULL));
    EXPECT_TRUE(PumpUntil([] { return g_log == "control;"; }));
    ::DestroyMenu(hMenu);
}

// --- the help walk -------------------------------------------------------------

TEST_F(AppTest, HelpButtonOnAPageGivesThePagesTopic)
{
    Show();
    ClickControl(m_main.m_page.GetDlgItem(ID_HELP)->m_hWnd);
    EXPECT_TRUE(PumpUntil([] { return !theApp.m_help.empty(); }));
    EXPECT_EQ(std::vector<DWORD_PTR>{HID_BASE_RESOURCE + IDD_PAGE}, theApp.m_help);
}

TEST_F(AppTest, HelpButtonOfTheMainDialogGivesItsOwnTopic)
{
    Show();
    ClickControl(m_main.GetDlgItem(ID_HELP)->m_hWnd);
    EXPECT_TRUE(PumpUntil([] { return !theApp.m_help.empty(); }));
    EXPECT_EQ(std::vector<DWORD_PTR>{HID_BASE_RESOURCE + IDD_MAIN}, theApp.m_help);
}

class CHelpAnswerer : public CWnd
{
protected:
    afx_msg LRESULT OnCommandHelp(WPARAM, LPARAM)
    {
        g_log += "capture;";
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpAnswerer, CWnd)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

TEST_F(AppTest, TheCaptureWindowIsAskedFirst)
{
    Show();
    m_main.m_page.GetDlgItem(IDC_TEXT)->SetFocus();
    CHelpAnswerer answerer;
    ASSERT_TRUE(answerer.CreateEx(0, AfxRegisterWndClass(0), "capture", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, NULL, NULL));
    answerer.SetCapture();
    theApp.OnHelp();
    ::ReleaseCapture();
    EXPECT_EQ("capture;", g_log);
    EXPECT_TRUE(theApp.m_help.empty());
    answerer.DestroyWindow();
}

TEST_F(AppTest, AChainWithoutADialogGivesTopicZero)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, AfxRegisterWndClass(0), "plain", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, NULL, NULL));
    plain.SetForegroundWindow();
    plain.SetFocus();
    PumpFor(0);
    theApp.OnHelp();
    EXPECT_EQ(std::vector<DWORD_PTR>{0}, theApp.m_help);
    plain.DestroyWindow();
}

// --- the modal loop ------------------------------------------------------------

// A modal dialog that runs a test's step once it is up.
class CModalProbe : public CDialog
{
public:
    explicit CModalProbe(CWnd *pParent = NULL) : CDialog(IDD_MODAL, pParent) {}
    std::function<void(CModalProbe &)> m_step;
    BOOL m_bVisibleAtStep = TRUE;
    BOOL m_bVisibleAtTimer = FALSE;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_STEP);
        return TRUE;
    }
    afx_msg LRESULT OnStep(WPARAM, LPARAM)
    {
        m_bVisibleAtStep = IsWindowVisible();
        if (m_step)
            m_step(*this);
        return 0;
    }
    // A timer a step started: OK once the dialog shows.
    afx_msg void OnTimer(UINT nIDEvent)
    {
        KillTimer(nIDEvent);
        m_bVisibleAtTimer = IsWindowVisible();
        SaveTestScreen(m_hWnd, "modal_dialog_shown");
        EndDialog(IDOK);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalProbe, CDialog)
    ON_MESSAGE(WM_STEP, OnStep)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(AppTest, ModalLoopEndsWithEndDialogsValue)
{
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) { dialog.EndDialog(42); };
    EXPECT_EQ(42, modal.DoModal());
    EXPECT_EQ(NULL, modal.m_hWnd);
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(AppTest, ATemplateWithoutVisibleStyleIsShownAfterItsPostedMessagesRan)
{
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) { dialog.SetTimer(1, 50); };
    EXPECT_EQ(IDOK, modal.DoModal());
    EXPECT_FALSE(modal.m_bVisibleAtStep);
    EXPECT_TRUE(modal.m_bVisibleAtTimer);
}

TEST_F(AppTest, ModalLoopWithoutParentDisablesTheMainWindowUntilItEnds)
{
    CModalProbe modal;
    BOOL bMainEnabledInside = TRUE;
    HWND hOwner = NULL;
    modal.m_step = [&](CModalProbe &dialog) {
        bMainEnabledInside = m_main.IsWindowEnabled();
        hOwner = ::GetWindow(dialog.m_hWnd, GW_OWNER);
        dialog.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, modal.DoModal());
    EXPECT_FALSE(bMainEnabledInside);
    EXPECT_EQ(m_main.m_hWnd, hOwner);
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(AppTest, AChildParentDisablesItsTopLevelWindow)
{
    CModalProbe modal(&m_main.m_page);
    BOOL bMainEnabledInside = TRUE;
    modal.m_step = [&](CModalProbe &dialog) {
        bMainEnabledInside = m_main.IsWindowEnabled();
        dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, modal.DoModal());
    EXPECT_FALSE(bMainEnabledInside);
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(AppTest, NestedModalDialogsLeaveTheMainWindowDisabledUntilTheOuterEnds)
{
    CModalProbe outer;
    BOOL bEnabledBetween = TRUE;
    outer.m_step = [&](CModalProbe &dialog) {
        CModalProbe inner;
        inner.m_step = [](CModalProbe &innerDialog) { innerDialog.EndDialog(IDOK); };
        inner.DoModal();
        bEnabledBetween = m_main.IsWindowEnabled();
        dialog.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, outer.DoModal());
    EXPECT_FALSE(bEnabledBetween);
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

class CDestroyingMain : public CRoutingMain
{
protected:
    afx_msg LRESULT OnDestroyNow(WPARAM, LPARAM)
    {
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDestroyingMain, CRoutingMain)
    ON_MESSAGE(WM_STEP + 2, OnDestroyNow)
END_MESSAGE_MAP()

TEST(ModalLoop, DestroyingTheOwnerDuringTheLoopEndsIt)
{
    CDestroyingMain main;
    ASSERT_TRUE(main.Create(IDD_MAIN));
    theApp.m_pMainWnd = &main;
    CModalProbe modal;
    modal.m_step = [&](CModalProbe &) { main.SendMessage(WM_STEP + 2); };
    EXPECT_EQ(-1, modal.DoModal());
    EXPECT_EQ(NULL, main.m_hWnd);
    EXPECT_EQ(NULL, theApp.m_pMainWnd);
    // The caller's later calls on the dead windows fail quietly.
    EXPECT_FALSE(main.PostMessage(WM_STEP));
    EXPECT_FALSE(main.m_page.UpdateData(FALSE));
    EXPECT_EQ(nullptr, main.m_page.GetDlgItem(IDC_TEXT));
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(AppTest, DestroyingTheDialogItselfEndsTheLoopWithMinusOne)
{
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) { dialog.DestroyWindow(); };
    EXPECT_EQ(-1, modal.DoModal());
    EXPECT_TRUE(m_main.IsWindowEnabled());
}

TEST_F(AppTest, QuitEndsTheLoopAndIsPostedAgainForTheOuterLoop)
{
    CModalProbe modal;
    modal.m_step = [](CModalProbe &) { ::PostQuitMessage(7); };
    EXPECT_EQ(-1, modal.DoModal());
    EXPECT_EQ(NULL, modal.m_hWnd);
    EXPECT_TRUE(m_main.IsWindowEnabled());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(AppTest, TheApplicationSeesKeysInsideTheModalLoopAndEscCancels)
{
    Show();
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) {
        dialog.SetForegroundWindow();
        theApp.m_nKeyDowns = 0;
        PressKey('A');
        PressKey(VK_ESCAPE);
    };
    EXPECT_EQ(IDCANCEL, modal.DoModal());
    EXPECT_GE(theApp.m_nKeyDowns, 2);
}

TEST_F(AppTest, TheApplicationSeesThreadMessagesInsideTheModalLoop)
{
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) {
        theApp.m_nThreadMessages = 0;
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_THREAD_NOTE, 0, 0);
        dialog.SetTimer(1, 50);
    };
    EXPECT_EQ(IDOK, modal.DoModal());
    EXPECT_EQ(1, theApp.m_nThreadMessages);
}

TEST_F(AppTest, ATemporaryTakenBeforeDoModalSurvivesIt)
{
    CWnd *pButton = m_main.GetDlgItem(IDC_MAIN_BUTTON);
    CModalProbe modal;
    modal.m_step = [](CModalProbe &dialog) { dialog.EndDialog(IDOK); };
    modal.DoModal();
    EXPECT_EQ(pButton, m_main.GetDlgItem(IDC_MAIN_BUTTON));
    EXPECT_EQ(::GetDlgItem(m_main.m_hWnd, IDC_MAIN_BUTTON), pButton->m_hWnd);
}
} // namespace
