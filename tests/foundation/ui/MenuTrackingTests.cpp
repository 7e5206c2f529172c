// A context menu tracked with a child control as its owner: the chosen
// command is posted to that control, arrives after TrackPopupMenu has
// returned, and runs the control's own handler, not its parent's.
#include "FoundationUi.h"

#include "GuiPump.h"
#include "RealInput.h"
#include "Screens.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT ID_SCALE_HOUR = 32792;
const UINT ID_SCALE_DAY = 32793;

// Notes the commands its map receives.
class CCommandTaker : public CWnd
{
public:
    std::vector<UINT> m_commands;

protected:
    afx_msg void OnHour() { m_commands.push_back(ID_SCALE_HOUR); }
    afx_msg void OnDay() { m_commands.push_back(ID_SCALE_DAY); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandTaker, CWnd)
    ON_COMMAND(ID_SCALE_HOUR, OnHour)
    ON_COMMAND(ID_SCALE_DAY, OnDay)
END_MESSAGE_MAP()

// The screen area the open menu is captured from.
RECT menuShotArea = {};

// Runs inside the menu's own loop. The keys go straight into the input
// queue: pumping here would take them away from the menu.
void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(NULL, nIDEvent);
    SaveScreen(CaptureScreenRect(menuShotArea), TestScreenName("menu-open"));
    const WORD keys[] = {VK_DOWN, VK_DOWN, VK_RETURN};
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(MenuTracking, TheCommandReachesTheChildOwnerAfterTrackingReturns)
{
    SetPumpFilter(AfxPreTranslateMessage);
    AfxInitCommonControls();
    CCommandTaker parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW),
                                                      static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))),
                                "Graph host", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 300, 200,
                                NULL, NULL));
    CCommandTaker graph;
    ASSERT_TRUE(graph.CreateEx(0, "STATIC", "graph", WS_CHILD | WS_VISIBLE | SS_GRAYRECT, 20, 20, 200,
                               120, parent, reinterpret_cast<HMENU>(1005)));
    BringToFront(parent);
    PumpFor(100);

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_SCALE_HOUR, "&Hour");
    menu.AppendMenu(MF_STRING, ID_SCALE_DAY, "&Day");

    POINT at = {150, 150};
    parent.GetWindowRect(&menuShotArea);
    ::SetTimer(NULL, 0, 300, ChooseSecondItem);
    ASSERT_TRUE(menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, &graph));
    EXPECT_TRUE(graph.m_commands.empty()) << "the command is posted, not sent";

    ASSERT_TRUE(PumpUntil([&] { return !graph.m_commands.empty(); }, 3000));
    EXPECT_EQ(std::vector<UINT>{ID_SCALE_DAY}, graph.m_commands);
    EXPECT_TRUE(parent.m_commands.empty()) << "the parent never sees the child's command";
    SaveTestScreen(parent, "after-command");

    graph.DestroyWindow();
    parent.DestroyWindow();
    SetPumpFilter(NULL);
    AfxDeleteTempObjects();
}

} // namespace
