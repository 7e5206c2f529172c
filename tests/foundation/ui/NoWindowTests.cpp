// A CWnd without a window fails every call and never hands a NULL window to
// the system, where it would mean the thread, the screen or every window.
#include <gtest/gtest.h>

#include "FoundationUi.h"
#include "GuiPump.h"

namespace
{
// A visible window that records whether it was asked to repaint.
class CWitness : public CWnd
{
public:
    int m_nPaints = 0;

protected:
    afx_msg void OnPaint()
    {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        ++m_nPaints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWitness, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class NoWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_witness.CreateEx(0, AfxRegisterWndClass(0), "witness", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, NULL, NULL));
        m_witness.SetFocus();
        PumpFor(0);
        m_witness.m_nPaints = 0;
    }
    void TearDown() override { m_witness.DestroyWindow(); }

    CWitness m_witness;
    CWnd m_empty;   // never created
};

TEST_F(NoWindowTest, PostMessagePostsNothingToTheThread)
{
    EXPECT_FALSE(m_empty.PostMessage(WM_APP + 7));
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, NULL, WM_APP + 7, WM_APP + 7, PM_REMOVE));
}

TEST_F(NoWindowTest, SetTimerMakesNoThreadTimer)
{
    EXPECT_EQ(0u, m_empty.SetTimer(1, 1));
    EXPECT_FALSE(m_empty.KillTimer(1));
    ::Sleep(50);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, NULL, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(NoWindowTest, InvalidateRepaintsNoOtherWindow)
{
    m_empty.Invalidate();
    m_empty.InvalidateRect(NULL);
    EXPECT_FALSE(m_empty.RedrawWindow());
    m_empty.UpdateWindow();
    PumpFor(0);
    EXPECT_EQ(0, m_witness.m_nPaints);
    EXPECT_FALSE(::GetUpdateRect(m_witness.m_hWnd, NULL, FALSE));
}

TEST_F(NoWindowTest, SetFocusLeavesTheFocusWhereItWas)
{
    ASSERT_EQ(m_witness.m_hWnd, ::GetFocus());
    EXPECT_EQ(nullptr, m_empty.SetFocus());
    EXPECT_EQ(m_witness.m_hWnd, ::GetFocus());
}

TEST_F(NoWindowTest, GetDCGivesNoScreenDC)
{
    EXPECT_EQ(nullptr, m_empty.GetDC());
    EXPECT_EQ(0, m_empty.ReleaseDC(NULL));
}

TEST_F(NoWindowTest, StateAndGeometryCallsFail)
{
    EXPECT_FALSE(m_empty.ShowWindow(SW_SHOW));
    m_empty.MoveWindow(0, 0, 10, 10);
    EXPECT_FALSE(m_empty.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOSIZE));
    EXPECT_FALSE(m_empty.IsWindowVisible());
    EXPECT_FALSE(m_empty.EnableWindow(FALSE));
    EXPECT_FALSE(m_empty.ModifyStyle(0, WS_VISIBLE));
    EXPECT_EQ(0u, m_empty.GetStyle());
    CRect rc(1, 2, 3, 4);
    m_empty.GetWindowRect(&rc);
    EXPECT_TRUE(rc == CRect(0, 0, 0, 0));
    EXPECT_EQ(0, m_empty.SendMessage(WM_GETTEXTLENGTH));
    EXPECT_EQ(nullptr, m_empty.GetDlgItem(1));
    EXPECT_EQ(nullptr, m_empty.GetParent());
    EXPECT_EQ(nullptr, m_empty.GetFont());
    EXPECT_FALSE(m_empty.UpdateData(TRUE));
    EXPECT_EQ(0, m_empty.MessageBox("never shown"));
    CString text("old");
    m_empty.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(m_empty.DestroyWindow());
    PumpFor(0);
    EXPECT_TRUE(m_witness.IsWindowVisible());
}

TEST_F(NoWindowTest, AWindowDestroyedUnderneathFailsTheSameWay)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "gone", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    ::DestroyWindow(wnd.m_hWnd);
    EXPECT_EQ(NULL, wnd.m_hWnd);
    EXPECT_FALSE(wnd.PostMessage(WM_APP + 8));
    EXPECT_EQ(0u, wnd.SetTimer(2, 1));
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, NULL, WM_APP + 8, WM_APP + 8, PM_REMOVE));
}
} // namespace
