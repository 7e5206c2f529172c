// CenterWindow: over the alternate window when one is given; else over the
// owner (a child: the parent) when that is visible and not minimised; else
// in the work area; always kept inside the work area (a child: inside its
// parent's client area).
#include "FoundationUi.h"
#include "UiPump.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

enum class OwnerState { None, Visible, Hidden, Minimised };

struct CenterCase
{
    const char *name;
    OwnerState owner;
    RECT ownerRect;       // screen
    bool alternate;       // centre over a second, hidden window at alternateRect
    RECT alternateRect;
    bool expectWorkAreaCentre;
};

CRect WorkArea()
{
    CRect area;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

HWND MakePlainWindow(const RECT &rect, DWORD dwStyle, HWND hWndOwner = NULL)
{
    return ::CreateWindowExA(0, "STATIC", "", WS_POPUP | dwStyle, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, hWndOwner, NULL, NULL, NULL);
}

const int kWidth = 200;
const int kHeight = 100;

class CenterWindowTest : public ::testing::TestWithParam<CenterCase>
{
};

TEST_P(CenterWindowTest, PlacesTheWindow)
{
    const CenterCase &c = GetParam();
    const CRect work = WorkArea();
    HWND hOwner = NULL;
    if (c.owner != OwnerState::None) {
        hOwner = MakePlainWindow(c.ownerRect, c.owner == OwnerState::Hidden ? 0 : WS_VISIBLE);
        ASSERT_NE(nullptr, hOwner);
        if (c.owner == OwnerState::Minimised)
            ::ShowWindow(hOwner, SW_MINIMIZE);
    }
    HWND hAlternate = c.alternate ? MakePlainWindow(c.alternateRect, 0) : NULL;

    CWnd window;
    HBRUSH hGrey = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0, NULL, hGrey), "centred",
                                WS_POPUP | WS_BORDER, 0, 0, kWidth, kHeight, hOwner, NULL));
    window.CenterWindow(hAlternate ? CWnd::FromHandle(hAlternate) : NULL);
    window.ShowWindow(SW_SHOWNOACTIVATE);
    SaveTestScreen(NULL, "placed");

    CRect placed;
    window.GetWindowRect(placed);
    EXPECT_EQ(kWidth, placed.Width());
    EXPECT_EQ(kHeight, placed.Height());
    const RECT &over = c.alternate ? c.alternateRect
                       : c.expectWorkAreaCentre ? static_cast<const RECT &>(work) : c.ownerRect;
    int left = (over.left + over.right - kWidth) / 2;
    int top = (over.top + over.bottom - kHeight) / 2;
    left = std::max<int>(work.left, std::min<int>(left, work.right - kWidth));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - kHeight));
    EXPECT_EQ(left, placed.left);
    EXPECT_EQ(top, placed.top);
    EXPECT_GE(placed.left, work.left);
    EXPECT_LE(placed.right, work.right);
    EXPECT_LE(placed.bottom, work.bottom);

    window.DestroyWindow();
    if (hAlternate)
        ::DestroyWindow(hAlternate);
    if (hOwner)
        ::DestroyWindow(hOwner);
    AfxDeleteTempObjects();
}

INSTANTIATE_TEST_SUITE_P(
    Owners, CenterWindowTest,
    ::testing::Values(
        CenterCase{"VisibleOwner", OwnerState::Visible, {100, 100, 500, 400}, false, {}, false},
        CenterCase{"HiddenOwner", OwnerState::Hidden, {100, 100, 500, 400}, false, {}, true},
        CenterCase{"MinimisedOwner", OwnerState::Minimised, {100, 100, 500, 400}, false, {}, true},
        CenterCase{"NoOwner", OwnerState::None, {}, false, {}, true},
        CenterCase{"Alternate", OwnerState::Visible, {100, 100, 500, 400}, true, {600, 300, 900, 700}, false},
        CenterCase{"OwnerAtTheEdge", OwnerState::Visible, {-150, -80, 50, 40}, false, {}, false}),
    [](const ::testing::TestParamInfo<CenterCase> &info) { return std::string(info.param.name); });

TEST(CenterWindow, AChildIsCentredInItsParent)
{
    HWND hParent = MakePlainWindow(CRect(100, 100, 500, 400), WS_VISIBLE);
    CRect client;
    ::GetClientRect(hParent, &client);
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 60,
                               hParent, reinterpret_cast<HMENU>(1)));
    child.CenterWindow();
    CRect placed;
    child.GetWindowRect(placed);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&placed), 2);
    EXPECT_EQ((client.Width() - 100) / 2, placed.left);
    EXPECT_EQ((client.Height() - 60) / 2, placed.top);
    ::DestroyWindow(hParent);
    AfxDeleteTempObjects();
}

TEST(CenterWindow, AWindowlessObjectDoesNothing)
{
    CWnd none;
    none.CenterWindow();
    EXPECT_EQ(nullptr, none.GetSafeHwnd());
}

} // namespace
