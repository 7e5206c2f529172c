// The main window's tips window: opened at the first show when the user
// wants tips at start, and by the Show Tips command; at most one at a time,
// a new one after the last has closed.
#include "ConsoleUnderTest.h"

#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <ConsoleSettings.h>
#include <OptionsResources.h>

#include <GuiPump.h>
#include <RealInput.h>
#include <RefusedWindows.h>
#include <TestScreens.h>
#include <WindowPlacement.h>

#include <vector>

namespace {

struct Owned {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTips(HWND window, LPARAM lParam)
{
    Owned *owned = reinterpret_cast<Owned *>(lParam);
    if (::GetWindow(window, GW_OWNER) == owned->owner && ::GetDlgItem(window, IDC_TIPS_NEXT))
        owned->found.push_back(window);
    return TRUE;
}

class TipsWiring : public ConsoleWindowTest
{
protected:
    // The tips windows the main window owns.
    std::vector<HWND> TipsWindows() const
    {
        Owned owned = {Main(), {}};
        ::EnumThreadWindows(::GetCurrentThreadId(), CollectTips, reinterpret_cast<LPARAM>(&owned));
        return owned.found;
    }
    HWND OnlyTips() const
    {
        const std::vector<HWND> tips = TipsWindows();
        return tips.size() == 1 ? tips[0] : NULL;
    }
    void ShowTipsCommand()
    {
        ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_SHOW_TIPS, 0);
        PumpFor(200);
    }
    void HideAndShowAgain()
    {
        ClickControl(Control(IDC_CAPTION_HIDE));
        PumpFor(100);
        ::SendMessageA(Main(), WM_SHOW_CONSOLE, 0, 0);
        PumpFor(200);
    }
};

TEST_F(TipsWiring, TheFirstShowOpensTheTipsOnceWhenWanted)
{
    ASSERT_TRUE(ConsoleSettings().SetString("EnableShowTips", "1", "Options"));
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_TRUE(TipsWindows().empty()) << "the hidden window opened tips";
    ::SendMessageA(Main(), WM_SHOW_CONSOLE, 0, 0);
    PumpFor(300);
    HWND tips = OnlyTips();
    ASSERT_NE(tips, static_cast<HWND>(NULL));
    EXPECT_TRUE(::IsWindowVisible(tips));
    EXPECT_TRUE(IsInFrontOf(tips, Main())) << "the tips opened behind the main window";
    SaveTestScreen(NULL, "first-show");

    HideAndShowAgain();
    EXPECT_EQ(TipsWindows(), std::vector<HWND>{tips});
    ClickControl(::GetDlgItem(tips, IDCANCEL));
    PumpFor(150);
    EXPECT_FALSE(::IsWindow(tips));
    HideAndShowAgain();
    EXPECT_TRUE(TipsWindows().empty()) << "a later show opened tips";
}

class TipsNotWanted : public TipsWiring, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(TipsNotWanted, TheFirstShowOpensNone)
{
    ASSERT_TRUE(ConsoleSettings().SetString("EnableShowTips", GetParam(), "Options"));
    ASSERT_TRUE(ShowMainWindow());
    EXPECT_TRUE(TipsWindows().empty());
}

INSTANTIATE_TEST_SUITE_P(Stored, TipsNotWanted, ::testing::Values("0", "", "no"));

// Open, the command only shows the window again, after Enter hid it too;
// once closed, the next command makes a new one with the next tip.
TEST_F(TipsWiring, TheShowTipsCommandKeepsOneWindow)
{
    ASSERT_TRUE(ConsoleSettings().SetString("EnableShowTips", "0", "Options"));
    ASSERT_TRUE(ConsoleSettings().SetString("TipIndex", "0", "Options"));
    ASSERT_TRUE(ShowMainWindow());
    ShowTipsCommand();
    HWND tips = OnlyTips();
    ASSERT_NE(tips, static_cast<HWND>(NULL));
    EXPECT_TRUE(IsInFrontOf(tips, Main())) << "the tips opened behind the main window";
    EXPECT_EQ(CentringFault(tips, Main()), "");
    char first[1024] = "";
    ::GetDlgItemTextA(tips, IDC_TIPS_TEXT, first, sizeof first);
    SaveTestScreen(tips, "opened");

    ShowTipsCommand();
    EXPECT_EQ(TipsWindows(), std::vector<HWND>{tips});
    BringToFront(tips);
    PressKey(VK_RETURN);
    PumpFor(150);
    EXPECT_FALSE(::IsWindowVisible(tips)) << "Enter did not hide the tips";
    ASSERT_TRUE(::IsWindow(tips));
    ShowTipsCommand();
    EXPECT_EQ(TipsWindows(), std::vector<HWND>{tips});
    EXPECT_TRUE(::IsWindowVisible(tips));

    ClickControl(::GetDlgItem(tips, IDC_TIPS_CROSS));
    PumpFor(150);
    EXPECT_FALSE(::IsWindow(tips));
    EXPECT_EQ(Setting("TipIndex", "Options"), CString("1"));
    ShowTipsCommand();
    HWND again = OnlyTips();
    ASSERT_NE(again, static_cast<HWND>(NULL));
    EXPECT_TRUE(::IsWindowVisible(again));
    char second[1024] = "";
    ::GetDlgItemTextA(again, IDC_TIPS_TEXT, second, sizeof second);
    EXPECT_STRNE(first, second) << "the new window shows the tip after the one before";
    SaveTestScreen(again, "again");
}

// Tips whose window cannot be made are gone once; the command works again
// when windows can be made.
TEST_F(TipsWiring, TipsThatCannotBeMadeLeaveTheCommandForTheNextTime)
{
    ASSERT_TRUE(ConsoleSettings().SetString("EnableShowTips", "0", "Options"));
    ASSERT_TRUE(ShowMainWindow());
    {
        CRefusedWindows noLabels("Static");
        ShowTipsCommand();
        EXPECT_GT(noLabels.Refused(), 0);
    }
    EXPECT_TRUE(TipsWindows().empty());
    EXPECT_TRUE(::IsWindowVisible(Main()));
    ShowTipsCommand();
    HWND tips = OnlyTips();
    ASSERT_NE(tips, static_cast<HWND>(NULL));
    EXPECT_TRUE(::IsWindowVisible(tips));
    SaveTestScreen(tips, "made-after-a-refusal");
}

// Tips open at the exit go with the main window; a window made again opens
// new ones.
TEST_F(TipsWiring, TipsOpenAtTheExitGoWithTheMainWindow)
{
    ASSERT_TRUE(ConsoleSettings().SetString("EnableShowTips", "0", "Options"));
    ASSERT_TRUE(ShowMainWindow());
    ShowTipsCommand();
    HWND tips = OnlyTips();
    ASSERT_NE(tips, static_cast<HWND>(NULL));
    ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_EXIT, 0);
    PumpFor(100);
    EXPECT_FALSE(::IsWindow(tips));
    EndMainWindow();
    ASSERT_TRUE(ShowMainWindow());
    ShowTipsCommand();
    EXPECT_EQ(TipsWindows().size(), 1u);
}

} // namespace
