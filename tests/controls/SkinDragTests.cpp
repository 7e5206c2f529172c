// Real drags of a skinned window, as a person moves and sizes it: the hit
// test decides what the system's move-and-size loop does.
#include "SkinTestWindow.h"

#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

namespace {

const int WIDTH = 300;
const int HEIGHT = 200;
const POINT ORIGIN = {200, 150};

const WindowKind MAIN = {"main window", {
    "Title_Left.bmp", "Title_Mid.bmp", "Title_Right.bmp", "Bottom_Left.bmp", "Bottom_Mid.bmp",
    "Bottom_Right.bmp", "Left.bmp", "Right.bmp", "SizeBox.bmp", "ToolBar.bmp",
    "ClientTop_Left.bmp", "ClientTop_Mid.bmp", "ClientTop_Right.bmp", "ClientBottom_Left.bmp",
    "ClientBottom_Mid.bmp", "ClientBottom_Right.bmp", "ClientLeft.bmp", "ClientRight.bmp",
    "MainFramClient.bmp"}, PaintingOrder::Main};

// As the main window does: the region follows each new size.
class CSizedWindow : public CSkinTestWindow
{
public:
    CSizedWindow(const std::string &folder) : CSkinTestWindow(IDD_SKIN_POPUP, MAIN, folder) {}

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        CSkinTestWindow::OnSize(nType, cx, cy);
        SetWindowRegion();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSizedWindow, CSkinTestWindow)
    ON_WM_SIZE()
END_MESSAGE_MAP()

struct DragCase {
    const char *name;
    BOOL captionDrag, resize, maximised;
    POINT from;        // client point; negative: from the right or bottom edge
    SIZE by;
    RECT change;       // of the window rectangle's left, top, right, bottom
};

POINT ClientPoint(POINT p, SIZE size)
{
    return POINT{p.x < 0 ? size.cx + p.x : p.x, p.y < 0 ? size.cy + p.y : p.y};
}

class SkinDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(SkinDrag, WindowFollowsTheHitTest)
{
    const DragCase &c = GetParam();
    CProgramFolderFixture folder;
    CSizedWindow window(std::string(folder.File("Skins\\Default\\")));
    ASSERT_TRUE(window.Create(IDD_SKIN_POPUP));
    window.SetFlags(c.captionDrag, c.resize);
    window.SetWindowPos(&CWnd::wndTop, ORIGIN.x, ORIGIN.y, WIDTH, HEIGHT, SWP_SHOWWINDOW);
    if (c.maximised)
        window.ShowWindow(SW_MAXIMIZE);
    BringToFront(window);
    PumpFor(100);

    CRect before;
    window.GetWindowRect(&before);
    CRect client;
    window.GetClientRect(&client);
    POINT from = ClientPoint(c.from, SIZE{client.Width(), client.Height()});
    window.ClientToScreen(&from);
    DragFromTo(from, POINT{from.x + c.by.cx, from.y + c.by.cy});
    PumpFor(100);

    CRect after;
    window.GetWindowRect(&after);
    EXPECT_EQ(before.left + c.change.left, after.left);
    EXPECT_EQ(before.top + c.change.top, after.top);
    EXPECT_EQ(before.right + c.change.right, after.right);
    EXPECT_EQ(before.bottom + c.change.bottom, after.bottom);
    SaveTestScreen(NULL, "after-drag");
}

const DragCase CASES[] = {
    {"LeftBorderWidens", TRUE, TRUE, FALSE, {1, 100}, {-40, 0}, {-40, 0, 0, 0}},
    {"RightBorderWidens", TRUE, TRUE, FALSE, {-1, 100}, {25, 0}, {0, 0, 25, 0}},
    {"BottomBorderHeightens", TRUE, TRUE, FALSE, {100, -1}, {0, 15}, {0, 0, 0, 15}},
    {"GripSizesBothWays", TRUE, TRUE, FALSE, {-5, -5}, {30, 20}, {0, 0, 30, 20}},
    {"BandMoves", TRUE, TRUE, FALSE, {150, 15}, {50, 30}, {50, 30, 50, 30}},
    {"CaptionDragOnlyMovesFromTheLeftEdge", TRUE, FALSE, FALSE, {1, 10}, {20, 10}, {20, 10, 20, 10}},
    {"CaptionDragOnlyDoesNotSize", TRUE, FALSE, FALSE, {-1, 100}, {25, 0}, {0, 0, 0, 0}},
    {"NeitherFlagDoesNotMove", FALSE, FALSE, FALSE, {150, 15}, {50, 30}, {0, 0, 0, 0}},
    {"NeitherFlagDoesNotSize", FALSE, FALSE, FALSE, {1, 100}, {-40, 0}, {0, 0, 0, 0}},
    {"MaximisedDoesNotMove", TRUE, TRUE, TRUE, {150, 15}, {50, 30}, {0, 0, 0, 0}},
    {"MaximisedDoesNotSize", TRUE, TRUE, TRUE, {-5, -5}, {-30, -20}, {0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Drags, SkinDrag, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<DragCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
