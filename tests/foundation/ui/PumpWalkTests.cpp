// The loop offers each message to the windows it concerns, innermost
// first, and dialogs take their keys there.
#include <gtest/gtest.h>

#include <string>

#include "FoundationUi.h"
#include "RealInput.h"
#include "TestScreens.h"
#include "GuiPump.h"
#include "UiTestIds.h"

namespace
{
const UINT WM_DEFERRED = WM_APP + 20;
std::string g_walk;

// Logs the walk and lets the message go on.
template <class Base>
class CWalkLogger : public Base
{
public:
    using Base::Base;
    const char *m_pszName = "";

    BOOL PreTranslateMessage(MSG *pMsg) override
    {
        if (pMsg->message == WM_APP + 21)
        {
            g_walk += m_pszName;
            g_walk += ";";
            return FALSE;
        }
        return Base::PreTranslateMessage(pMsg);
    }
};

class CKeyPage : public CWalkLogger<CDialog>
{
public:
    CKeyPage() : CWalkLogger<CDialog>(IDD_PAGE) {}
    int m_nDeferred = 0;
    int m_nSetDefId = 0;
    int m_nOK = 0;

    void OnOK() override { ++m_nOK; }
    void OnCancel() override {}

protected:
    afx_msg LRESULT OnDeferred(WPARAM, LPARAM)
    {
        ++m_nDeferred;
        return 0;
    }
    afx_msg LRESULT OnSetDefId(WPARAM, LPARAM)
    {
        ++m_nSetDefId;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyPage, CDialog)
    ON_MESSAGE(WM_DEFERRED, OnDeferred)
    ON_MESSAGE(DM_SETDEFID, OnSetDefId)
END_MESSAGE_MAP()

class CKeyMain : public CWalkLogger<CDialog>
{
public:
    CKeyMain() : CWalkLogger<CDialog>(IDD_MAIN) {}
    int m_nSetDefId = 0;
    int m_nCommands = 0;

    void OnOK() override { ++m_nCommands; }
    void OnCancel() override { ++m_nCommands; }

protected:
    afx_msg LRESULT OnSetDefId(WPARAM, LPARAM)
    {
        ++m_nSetDefId;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyMain, CDialog)
    ON_MESSAGE(DM_SETDEFID, OnSetDefId)
END_MESSAGE_MAP()

class PumpWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_walk.clear();
        m_main.m_pszName = "main";
        m_page.m_pszName = "page";
        m_control.m_pszName = "control";
        ASSERT_TRUE(m_main.Create(IDD_MAIN));
        ASSERT_TRUE(m_page.Create(IDD_PAGE, &m_main));
        ASSERT_TRUE(m_control.SubclassDlgItem(IDC_TEXT, &m_page));
        m_main.SetWindowPos(NULL, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void TearDown() override
    {
        m_main.DestroyWindow();
        AfxDeleteTempObjects();
    }
    void Show()
    {
        m_main.ShowWindow(SW_SHOW);
        m_main.SetForegroundWindow();
        PumpFor(0);
    }

    CKeyMain m_main;
    CKeyPage m_page;
    CWalkLogger<CWnd> m_control;
};

TEST_F(PumpWalkTest, TheWalkGoesFromTheControlOutwards)
{
    m_control.PostMessage(WM_APP + 21);
    PumpFor(0);
    EXPECT_EQ("control;page;main;", g_walk);
}

TEST_F(PumpWalkTest, AnOwnedPopupsWalkReachesItsOwner)
{
    CWalkLogger<CDialog> popup(IDD_POPUP);
    popup.m_pszName = "popup";
    ASSERT_TRUE(popup.Create(IDD_POPUP, &m_page));
    popup.PostMessage(WM_APP + 21);
    PumpFor(0);
    EXPECT_EQ("popup;main;", g_walk);
    popup.DestroyWindow();
}

TEST_F(PumpWalkTest, APostedMessageToADialogIsHandledOnce)
{
    m_page.PostMessage(WM_DEFERRED);
    PumpFor(0);
    EXPECT_EQ(1, m_page.m_nDeferred);
}

TEST_F(PumpWalkTest, TabMovesTheFocusAndEnterClosesNothing)
{
    Show();
    m_page.GotoDlgCtrl(m_page.GetDlgItem(IDC_TEXT));
    PumpFor(0);
    ASSERT_EQ(m_control.m_hWnd, ::GetFocus());
    m_page.m_nSetDefId = m_main.m_nSetDefId = 0;

    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() != m_control.m_hWnd; }));
    EXPECT_EQ(m_page.GetDlgItem(IDC_NUMBER)->m_hWnd, ::GetFocus());
    SaveTestScreen(m_main.m_hWnd, "focus_after_tab");

    PressKey(VK_RETURN);
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() != m_page.GetDlgItem(IDC_NUMBER)->m_hWnd; }));
    EXPECT_TRUE(m_main.IsWindowVisible());
    EXPECT_TRUE(m_page.IsWindowVisible());
    // The dialog manager never sends DM_SETDEFID (0x401) on Tab or Enter:
    // a message of the same number would otherwise run a spurious step.
    EXPECT_EQ(0, m_page.m_nSetDefId);
    EXPECT_EQ(0, m_main.m_nSetDefId);
}
} // namespace
