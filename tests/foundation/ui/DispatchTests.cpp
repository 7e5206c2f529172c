// Messages reach the handlers of the map cracked as the handlers declare
// them, and the handlers' values come back as the messages' results.
#include <gtest/gtest.h>

#include <string>

#include "FoundationUi.h"

namespace
{
std::string Format(const char *pszFormat, ...)
{
    char szText[256];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof szText, pszFormat, args);
    va_end(args);
    return szText;
}

const HICON kDragIcon = reinterpret_cast<HICON>(0x1234);

// A window with a handler for each window message the maps know.
class CProbeWnd : public CWnd
{
public:
    std::string m_log;
    HWND m_hWndOther = NULL;
    BOOL m_bFailCreate = FALSE;
    HDC m_hDCExpected = NULL;

    BOOL CreateProbe()
    {
        return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "probe", WS_OVERLAPPEDWINDOW, 0, 0,
                        200, 100, NULL, NULL);
    }

protected:
    std::string Who(CWnd *pWnd) const
    {
        if (pWnd == NULL)
            return "null";
        if (pWnd == this)
            return "self";
        return pWnd->m_hWnd == m_hWndOther ? "other" : "stranger";
    }

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        m_log += Format("Create %s;", lpcs->lpszName);
        return m_bFailCreate ? -1 : 0;
    }
    afx_msg void OnDestroy() { m_log += "Destroy;"; }
    afx_msg void OnPaint()
    {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        m_log += "Paint;";
    }
    afx_msg BOOL OnEraseBkgnd(CDC *pDC)
    {
        m_log += Format("EraseBkgnd %s;", pDC != NULL && pDC->m_hDC == m_hDCExpected ? "dc" : "other");
        return TRUE;
    }
    afx_msg void OnSize(UINT nType, int cx, int cy) { m_log += Format("Size %u %d %d;", nType, cx, cy); }
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect)
    {
        m_log += Format("Sizing %u %ld;", fwSide, pRect->right);
    }
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus) { m_log += Format("ShowWindow %d %u;", bShow, nStatus); }
    afx_msg void OnTimer(UINT nIDEvent) { m_log += Format("Timer %u;", nIDEvent); }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt) { m_log += Format("LButtonDown %u %ld,%ld;", nFlags, pt.x, pt.y); }
    afx_msg void OnLButtonUp(UINT nFlags, CPoint pt) { m_log += Format("LButtonUp %u %ld,%ld;", nFlags, pt.x, pt.y); }
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint pt) { m_log += Format("LButtonDblClk %u %ld,%ld;", nFlags, pt.x, pt.y); }
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt) { m_log += Format("MouseMove %u %ld,%ld;", nFlags, pt.x, pt.y); }
    afx_msg BOOL OnSetCursor(CWnd *pWnd, UINT nHitTest, UINT message)
    {
        m_log += Format("SetCursor %s %u 0x%x;", Who(pWnd).c_str(), nHitTest, message);
        return TRUE;
    }
    afx_msg UINT OnNcHitTest(CPoint pt)
    {
        m_log += Format("NcHitTest %ld,%ld;", pt.x, pt.y);
        return HTCAPTION;
    }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { m_log += Format("KeyDown %u %u 0x%x;", nChar, nRepCnt, nFlags); }
    afx_msg void OnSetFocus(CWnd *pOldWnd) { m_log += Format("SetFocus %s;", Who(pOldWnd).c_str()); }
    afx_msg void OnKillFocus(CWnd *pNewWnd) { m_log += Format("KillFocus %s;", Who(pNewWnd).c_str()); }
    afx_msg HCURSOR OnQueryDragIcon()
    {
        m_log += "QueryDragIcon;";
        return kDragIcon;
    }
    afx_msg LRESULT OnAppMessage(WPARAM wParam, LPARAM lParam)
    {
        m_log += Format("App %u %ld;", static_cast<UINT>(wParam), static_cast<long>(lParam));
        return 1234;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_SIZING()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_NCHITTEST()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_APP + 1, OnAppMessage)
END_MESSAGE_MAP()

// Replaces one entry of its base's map.
class CDerivedProbeWnd : public CProbeWnd
{
protected:
    afx_msg void OnTimer(UINT nIDEvent) { m_log += Format("DerivedTimer %u;", nIDEvent); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbeWnd, CProbeWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

struct CrackCase
{
    const char *pszName;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char *pszLog;
    LRESULT lExpected;
};

class DispatchTest : public ::testing::TestWithParam<CrackCase>
{
};

RECT g_sizingRect = {0, 0, 321, 100};

const CrackCase kCrackCases[] = {
    {"mouse_negative", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7), "LButtonDown 1 -5,-7;", 0},
    {"mouse_up", WM_LBUTTONUP, 0, MAKELPARAM(3, 4), "LButtonUp 0 3,4;", 0},
    {"mouse_double", WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, -1), "LButtonDblClk 5 10,-1;", 0},
    {"mouse_move_captured", WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-300, 2), "MouseMove 1 -300,2;", 0},
    {"hit_test_screen_left", WM_NCHITTEST, 0, MAKELPARAM(-20, 30), "NcHitTest -20,30;", HTCAPTION},
    {"size", WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), "Size 2 640 480;", 0},
    {"sizing", WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&g_sizingRect), "Sizing 2 321;", TRUE},
    {"timer", WM_TIMER, 77, 0, "Timer 77;", 0},
    {"show", WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, "ShowWindow 1 3;", 0},
    {"key", WM_KEYDOWN, VK_F1, MAKELPARAM(3, 0x13B), "KeyDown 112 3 0x13b;", 0},
    {"drag_icon", WM_QUERYDRAGICON, 0, 0, "QueryDragIcon;", reinterpret_cast<LRESULT>(kDragIcon)},
    {"on_message", WM_APP + 1, 9, -4, "App 9 -4;", 1234},
};

TEST_P(DispatchTest, CracksParametersAndReturnsTheHandlersValue)
{
    const CrackCase &c = GetParam();
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    probe.m_log.clear();
    EXPECT_EQ(c.lExpected, probe.SendMessage(c.message, c.wParam, c.lParam));
    EXPECT_EQ(c.pszLog, probe.m_log);
}

INSTANTIATE_TEST_SUITE_P(Messages, DispatchTest, ::testing::ValuesIn(kCrackCases),
                         [](const ::testing::TestParamInfo<CrackCase> &info) {
                             return std::string(info.param.pszName);
                         });

TEST(Dispatch, WindowArgumentsArriveAsTheirObjects)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), "other", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    probe.m_hWndOther = other.m_hWnd;
    probe.m_log.clear();

    EXPECT_EQ(TRUE, probe.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(probe.m_hWnd),
                                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    probe.SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(other.m_hWnd));
    probe.SendMessage(WM_KILLFOCUS, 0);
    EXPECT_EQ("SetCursor self 1 0x200;SetFocus other;KillFocus null;", probe.m_log);
}

TEST(Dispatch, EraseBackgroundGetsTheDCAndReturnsItsValue)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    HDC hDC = ::GetDC(probe.m_hWnd);
    probe.m_hDCExpected = hDC;
    probe.m_log.clear();
    EXPECT_EQ(TRUE, probe.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC)));
    EXPECT_EQ("EraseBkgnd dc;", probe.m_log);
    ::ReleaseDC(probe.m_hWnd, hDC);
    AfxDeleteTempObjects();
}

TEST(Dispatch, CreateAndDestroyReachTheMapAndCreateCanRefuse)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    EXPECT_EQ("Create probe;", probe.m_log);
    HWND hWnd = probe.m_hWnd;
    EXPECT_TRUE(probe.DestroyWindow());
    EXPECT_EQ("Create probe;Destroy;", probe.m_log);
    EXPECT_EQ(NULL, probe.m_hWnd);
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));

    CProbeWnd refusing;
    refusing.m_bFailCreate = TRUE;
    EXPECT_FALSE(refusing.CreateProbe());
    EXPECT_EQ(NULL, refusing.m_hWnd);
}

TEST(Dispatch, PaintReachesTheMap)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    probe.ShowWindow(SW_SHOWNA);
    probe.m_log.clear();
    probe.Invalidate();
    probe.UpdateWindow();
    EXPECT_NE(std::string::npos, probe.m_log.find("Paint;"));
    probe.DestroyWindow();
}

TEST(Dispatch, DerivedEntryReplacesTheBaseEntry)
{
    CDerivedProbeWnd probe;
    ASSERT_TRUE(probe.CreateProbe());
    probe.m_log.clear();
    probe.SendMessage(WM_TIMER, 5);
    probe.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(1, 2));
    EXPECT_EQ("DerivedTimer 5;Size 0 1 2;", probe.m_log);
}

// A subclassed edit control whose map takes WM_GETTEXT and asks the edit.
class CTextProbe : public CWnd
{
public:
    LRESULT m_lDefault = -1;
    LRESULT m_lNestedDefault = -1;
    CString m_strDefaultText;

protected:
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam)
    {
        // A message dispatched in between must not change what Default means.
        SendMessage(WM_APP + 5, 1, 2);
        m_lDefault = Default();
        m_strDefaultText = reinterpret_cast<LPCSTR>(lParam);
        // What the caller sees is this handler's text.
        lstrcpynA(reinterpret_cast<LPSTR>(lParam), "mine", static_cast<int>(wParam));
        return 4;
    }
    afx_msg LRESULT OnNested(WPARAM, LPARAM)
    {
        m_lNestedDefault = Default();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextProbe, CWnd)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_APP + 5, OnNested)
END_MESSAGE_MAP()

TEST(Dispatch, DefaultGivesThePreviousProceduresResultAndUnhandledMessagesReachIt)
{
    HWND hEdit = ::CreateWindowExA(0, "Edit", "twelve chars", WS_POPUP, 0, 0, 100, 20, NULL, NULL,
                                   ::GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, hEdit);
    CTextProbe probe;
    ASSERT_TRUE(probe.SubclassWindow(hEdit));

    char szText[32] = "";
    EXPECT_EQ(4, ::SendMessageA(hEdit, WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText)));
    EXPECT_STREQ("mine", szText);
    EXPECT_EQ(12, probe.m_lDefault);
    EXPECT_EQ(0, probe.m_lNestedDefault);
    EXPECT_STREQ("twelve chars", probe.m_strDefaultText);
    // Not in the map: the edit answers.
    EXPECT_EQ(12, ::SendMessageA(hEdit, WM_GETTEXTLENGTH, 0, 0));
    probe.DestroyWindow();
}
} // namespace
