// The DCs of a window: CPaintDC inside WM_PAINT, CClientDC anywhere, and
// neither of them over the screen for an object without a window.
#include "FoundationUi.h"
#include "TestScreens.h"
#include "UiPump.h"

#include <gtest/gtest.h>

namespace {

// Paints its invalid area in one colour through a CPaintDC and notes what
// the paint structure held.
class CPaintedWnd : public CWnd
{
public:
    int m_nPaints = 0;
    CRect m_rcPaint;
    COLORREF m_colour = RGB(30, 90, 200);

    BOOL Create()
    {
        return CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW),
                                              static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))),
                        "painted", WS_POPUP | WS_VISIBLE, 60, 60, 200, 120, NULL, NULL);
    }

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        ++m_nPaints;
        m_rcPaint = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, m_colour);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

COLORREF PixelOf(CWnd &wnd, int x, int y)
{
    CDC *pDC = wnd.GetDC();
    const COLORREF colour = ::GetPixel(*pDC, x, y);
    wnd.ReleaseDC(pDC);
    return colour;
}

TEST(WindowDC, PaintDCPaintsTheInvalidAreaAndValidatesIt)
{
    CPaintedWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.UpdateWindow();
    ASSERT_TRUE(PumpUntil([&] { return wnd.m_nPaints > 0; }));
    EXPECT_EQ(RGB(30, 90, 200), PixelOf(wnd, 100, 60));

    const int paints = wnd.m_nPaints;
    wnd.m_colour = RGB(220, 40, 40);
    const CRect corner(0, 0, 50, 30);
    wnd.InvalidateRect(corner, FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(paints + 1, wnd.m_nPaints);
    EXPECT_EQ(corner, wnd.m_rcPaint);
    EXPECT_FALSE(::GetUpdateRect(wnd, NULL, FALSE)) << "EndPaint validated the area";
    EXPECT_EQ(RGB(220, 40, 40), PixelOf(wnd, 10, 10));
    EXPECT_EQ(RGB(30, 90, 200), PixelOf(wnd, 100, 60)) << "outside the invalid area";
    SaveTestScreen(wnd, "corner-repainted");
    wnd.DestroyWindow();
    AfxDeleteTempObjects();
}

TEST(WindowDC, ClientDCDrawsIntoTheClientArea)
{
    CPaintedWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.UpdateWindow();
    {
        CClientDC dc(&wnd);
        ASSERT_NE(nullptr, dc.GetSafeHdc());
        CBrush green(RGB(0, 150, 60));
        const CRect band(0, 100, 200, 120);
        dc.FillRect(band, &green);
    }
    EXPECT_EQ(RGB(0, 150, 60), PixelOf(wnd, 100, 110));
    SaveTestScreen(wnd, "band-drawn");
    wnd.DestroyWindow();
    AfxDeleteTempObjects();
}

TEST(WindowDC, AWindowlessObjectGetsNoDC)
{
    CWnd none;
    CPaintDC paint(&none);
    EXPECT_EQ(nullptr, paint.GetSafeHdc());
    CClientDC client(&none);
    EXPECT_EQ(nullptr, client.GetSafeHdc());
    EXPECT_EQ(nullptr, none.GetDC());
    CClientDC nobody(NULL);
    EXPECT_EQ(nullptr, nobody.GetSafeHdc());
}

} // namespace
