// The main window's companions: the notification-area icon and its menu,
// the splash window, the context menus, the help topics, the refusal while
// logged off and the start counter.
#include "ConsoleUnderTest.h"

#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <ConsoleSettings.h>
#include <HelpTopics.h>
#include <LoggedOn.h>
#include <LoggedOnRefusal.h>
#include <SplashWindow.h>
#include <StartCount.h>
#include <VersionLine.h>

#include <DialogDriver.h>
#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <map>
#include <thread>

namespace {

class TrayIcon : public ConsoleWindowTest
{
protected:
    LRESULT Notify(UINT uID, UINT mouse)
    {
        return ::SendMessageA(Main(), WM_TRAY_NOTIFY, uID, mouse);
    }
};

TEST_F(TrayIcon, AnotherIconsIdGivesNothing)
{
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_EQ(Notify(IDR_TRAY_MENU + 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_FALSE(::IsWindowVisible(Main()));
}

TEST_F(TrayIcon, OtherMouseMessagesDoNothing)
{
    ASSERT_TRUE(MakeMainWindow());
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) {
        EXPECT_EQ(Notify(IDR_TRAY_MENU, mouse), 1) << mouse;
        PumpFor(50);
        EXPECT_FALSE(::IsWindowVisible(Main())) << mouse;
    }
}

TEST_F(TrayIcon, ADoubleClickOpensTheConsole)
{
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_EQ(Notify(IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
    PumpFor(100);
    EXPECT_TRUE(::IsWindowVisible(Main()));
}

// The menu's state while it is tracked, read from inside its loop; the
// menu is closed with Esc.
struct MenuSeen {
    bool shown = false;
    UINT topMost = 0;
    UINT lock = 0;
    UINT open = 0;
};

// Watches for the menu from a second thread while this one runs the menu's
// loop; reads it, takes a screenshot and cancels it.
MenuSeen RightClick(HWND main)
{
    MenuSeen seen;
    std::thread watcher([&seen, main] {
        for (int tries = 0; tries < 100 && !seen.shown; ++tries) {
            ::Sleep(50);
            HWND menuWindow = ::FindWindowA("#32768", NULL);
            if (!menuWindow || !::IsWindowVisible(menuWindow))
                continue;
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            seen.topMost = ::GetMenuState(menu, ID_TRAY_TOP_MOST, MF_BYCOMMAND) & MF_CHECKED;
            seen.lock = ::GetMenuState(menu, IDC_LOCK_SWITCH, MF_BYCOMMAND) & MF_CHECKED;
            seen.open = ::GetMenuDefaultItem(menu, FALSE, 0);
            seen.shown = true;
            SaveTestScreen(NULL, "tray-menu");
        }
        ::PostMessageA(main, WM_CANCELMODE, 0, 0);
    });
    ::SendMessageA(main, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
    watcher.join();
    return seen;
}

// The lock mark is the mode the provider was sent: a stored mode that
// starts the console normal leaves it clear, and the switch turns it.
TEST_F(TrayIcon, ARightClickShowsTheMenuWithTheMarksOfTheMoment)
{
    struct MarkCase {
        const char *storedMode;
        bool topMost;
        bool lockChecked;
    } const cases[] = {{"1", false, false}, {"2", true, true}, {"0", false, false}, {"text", true, false}};
    for (const MarkCase &c : cases) {
        SCOPED_TRACE(c.storedMode);
        ASSERT_TRUE(TheConsole().Publisher().ZoneStore().SetConfig("WorkMode", c.storedMode));
        ASSERT_TRUE(MakeMainWindow());
        if (c.topMost)
            ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_TOP_MOST, 0);
        MenuSeen seen = RightClick(Main());
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.topMost != 0, c.topMost);
        EXPECT_EQ(seen.lock != 0, c.lockChecked);
        EXPECT_EQ(seen.open, static_cast<UINT>(ID_TRAY_OPEN));

        ::SendMessageA(Main(), WM_COMMAND, IDC_LOCK_SWITCH, 0);
        seen = RightClick(Main());
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.lock != 0, !c.lockChecked) << "after the switch";
        EndMainWindow();
    }
}

TEST_F(TrayIcon, TheTrayMenusExitEndsTheWindow)
{
    ASSERT_TRUE(ShowMainWindow());
    HWND main = Main();
    ::SendMessageA(main, WM_COMMAND, ID_TRAY_EXIT, 0);
    PumpFor(100);
    EXPECT_FALSE(::IsWindow(main));
}

// Menus read back from the program's resources.
struct MenuItem {
    const char *text;
    UINT command;   // 0: a separator; -1: a sub-menu
};

std::vector<MenuItem> ItemsOf(HMENU menu)
{
    std::vector<MenuItem> items;
    static char texts[64][64];
    for (int i = 0; i < ::GetMenuItemCount(menu) && i < 64; ++i) {
        ::GetMenuStringA(menu, i, texts[i], sizeof texts[i], MF_BYPOSITION);
        items.push_back({texts[i], ::GetMenuItemID(menu, i)});
    }
    return items;
}

std::string Describe(HMENU menu)
{
    std::string out;
    for (const MenuItem &item : ItemsOf(menu)) {
        char line[96];
        sprintf(line, "%s=%d;", item.text, static_cast<int>(item.command));
        out += line;
    }
    return out;
}

TEST(ConsoleMenus, TheTrayMenuReadsBack)
{
    HMENU menu = ::LoadMenuA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, static_cast<HMENU>(NULL));
    char title[32];
    ::GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
    EXPECT_STREQ(title, "System Tray");
    EXPECT_EQ(Describe(::GetSubMenu(menu, 0)),
              "&Open=32771;&Top most=32791;&Show Tips=32801;=0;&Lock=1010;=0;&Exit=32772;");
    ::DestroyMenu(menu);
}

TEST(ConsoleMenus, TheContextMenusReadBack)
{
    HMENU menu = ::LoadMenuA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_CONTEXT_MENUS));
    ASSERT_NE(menu, static_cast<HMENU>(NULL));
    EXPECT_EQ(Describe(menu), "Zone=-1;Program=-1;Monitor=-1;Lock=-1;Program Logs=-1;Flux=-1;");
    HMENU zone = ::GetSubMenu(menu, CONTEXT_MENU_ZONE);
    EXPECT_EQ(Describe(zone), "Add=-1;Modify=32775;=0;Delete=32774;");
    const std::vector<MenuItem> add = ItemsOf(::GetSubMenu(zone, 0));
    ASSERT_EQ(add.size(), 4u);
    EXPECT_EQ(add[0].command, 32776u);
    EXPECT_EQ(add[1].command, 32777u);
    EXPECT_EQ(add[2].command, 32778u);
    EXPECT_EQ(add[3].command, 32779u);
    EXPECT_EQ(Describe(::GetSubMenu(menu, CONTEXT_MENU_PROGRAM)),
              "Option=32781;Properties=32786;=0;Delete=32774;");
    const std::vector<MenuItem> monitor = ItemsOf(::GetSubMenu(menu, CONTEXT_MENU_MONITOR));
    ASSERT_EQ(monitor.size(), 1u);
    EXPECT_EQ(monitor[0].command, 32782u);
    EXPECT_EQ(Describe(::GetSubMenu(menu, CONTEXT_MENU_LOCK)), "Deny=32784;Pass=32785;");
    EXPECT_EQ(Describe(::GetSubMenu(menu, CONTEXT_MENU_PROGRAM_LOGS)),
              "Clean List=32790;=0;Delete=32787;Delete this page=32788;Clean all logs=32789;");
    EXPECT_EQ(Describe(::GetSubMenu(menu, CONTEXT_MENU_FLUX)),
              "   5 K=32792;  10 k=32793;  20 K=32794;  40 K=32795;  80 K=32796; 160 K=32797;"
              " 320 K=32798; 640 K=32799;1280 k=32800;");
    ::DestroyMenu(menu);
}

class SplashWindow : public ConsoleWindowTest
{
};

// Starts 1 to 3 stay in the notification area after the splash window;
// the fourth shows the main window.
TEST_F(SplashWindow, ShowsTheMainWindowFromTheFourthStart)
{
    struct StartCase {
        const char *stored;
        bool shows;
    } const cases[] = {{"0", false}, {"1", false}, {"2", false}, {"3", true}, {"-1", true}};
    for (const StartCase &c : cases) {
        CSplashWindow::EnableSplash(TRUE);
        ConsoleSettings().SetString("StartCount", c.stored, "Options");
        ASSERT_TRUE(TheConsole().MainFrame().Create(IDD_MAIN_FRAME, NULL));
        TheConsole().m_pMainWnd = &TheConsole().MainFrame();
        TheConsole().MainFrame().ShowWindow(SW_HIDE);
        EXPECT_NE(CSplashWindow::Current(), static_cast<CSplashWindow *>(NULL)) << c.stored;
        PumpUntil([] { return CSplashWindow::Current() == NULL; });
        PumpFor(100);
        EXPECT_EQ(::IsWindowVisible(Main()) != FALSE, c.shows) << c.stored;
        TheConsole().m_pMainWnd = NULL;
        TheConsole().MainFrame().DestroyWindow();
        PumpFor(50);
    }
}

// A key or a click while the splash window is up closes it and reaches
// no window.
TEST_F(SplashWindow, AKeyOrClickClosesItAndIsSwallowed)
{
    CSplashWindow::EnableSplash(TRUE);
    ConsoleSettings().SetString("StartCount", "5", "Options");
    ASSERT_TRUE(TheConsole().MainFrame().Create(IDD_MAIN_FRAME, NULL));
    TheConsole().m_pMainWnd = &TheConsole().MainFrame();
    ASSERT_NE(CSplashWindow::Current(), static_cast<CSplashWindow *>(NULL));
    HWND splash = CSplashWindow::Current()->GetSafeHwnd();

    // Held on the screen for its picture: its timer would end it at the
    // first idle moment.
    ::KillTimer(splash, 1);
    const CDib shot = SaveTestScreen(splash, "splash");
    // The version line ends at (277, 190): text there, none right of it.
    RECT textArea = {200, 175, 277, 190};
    RECT rightOf = {278, 175, 300, 190};
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(shot.CountColour(text, textArea), 10);
    EXPECT_EQ(shot.CountColour(text, rightOf), 0);

    MSG key = {splash, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    EXPECT_TRUE(TheConsole().PreTranslateMessage(&key));
    EXPECT_FALSE(::IsWindow(splash));
    EXPECT_TRUE(::IsWindowVisible(Main()));
    MSG after = {Main(), WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    EXPECT_FALSE(CSplashWindow::FilterAppMessage(&after));
}

TEST_F(SplashWindow, NoneWhenSwitchedOff)
{
    ConsoleSettings().SetString("StartCount", "5", "Options");
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_EQ(CSplashWindow::Current(), static_cast<CSplashWindow *>(NULL));
    PumpFor(100);
    EXPECT_FALSE(::IsWindowVisible(Main()));
}

// The help topic of each window, by its template id.
TEST(HelpTopics, EachWindowHasItsTopic)
{
    std::map<UINT, std::string> asked;
    auto pageTopic = [](UINT id) { return CString("::/page") + (id == 132 ? "132" : "x") + ".htm"; };
    const std::pair<UINT, const char *> cases[] = {
        {102, "::/Welcome.htm"}, {141, "::/Welcome.htm"}, {131, "::/options.htm"},
        {132, "::/page132.htm"}, {133, "::/pagex.htm"},  {134, "::/pagex.htm"},
        {137, "::/pagex.htm"},   {140, "::/firewall_trusted.htm"},
        {142, "::/programcontrol_advance.htm"},           {3, ""}, {128, ""}, {0, ""}};
    for (const auto &c : cases)
        EXPECT_EQ(std::string(HelpTopicFor(c.first, pageTopic)), c.second) << c.first;
}

struct HelpCall {
    HWND owner;
    std::string path;
    UINT command;
};
std::vector<HelpCall> g_helpCalls;

HWND WINAPI RecordHelp(HWND owner, LPCSTR path, UINT command, DWORD_PTR)
{
    g_helpCalls.push_back({owner, path, command});
    return owner;
}

HWND WINAPI RefuseHelp(HWND owner, LPCSTR path, UINT command, DWORD_PTR)
{
    g_helpCalls.push_back({owner, path, command});
    return NULL;
}

class HelpRequests : public ConsoleWindowTest
{
};

TEST_F(HelpRequests, OpenTheTopicOverTheMainWindowOrNothing)
{
    ASSERT_TRUE(MakeMainWindow());
    g_helpCalls.clear();
    TheConsole().SetHtmlHelpEntry(RecordHelp);
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_SYSTEM_PAGE, HELP_CONTEXT);
    TheConsole().WinHelp(HELP_DATA_BASE + 140, HELP_CONTEXT);
    // The program page has no topic of its own; its advanced rule dialog has.
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_PROGRAM_PAGE, HELP_CONTEXT);
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_ADVANCED_RULE, HELP_CONTEXT);
    TheConsole().WinHelp(HELP_DATA_BASE + 999, HELP_CONTEXT);
    TheConsole().WinHelp(0, HELP_CONTEXT);
    TheConsole().SetHtmlHelpEntry(NULL);
    ASSERT_EQ(g_helpCalls.size(), 3u);
    EXPECT_EQ(g_helpCalls[0].owner, Main());
    EXPECT_EQ(g_helpCalls[0].path, std::string(m_folder.File("Ferrowind.chm::/options.htm")));
    EXPECT_EQ(g_helpCalls[0].command, 0u);
    EXPECT_EQ(g_helpCalls[1].path, std::string(m_folder.File("Ferrowind.chm::/firewall_trusted.htm")));
    EXPECT_EQ(g_helpCalls[2].path, std::string(m_folder.File("Ferrowind.chm::/programcontrol_advance.htm")));
}

TEST_F(HelpRequests, AFailedTopicIsReported)
{
    ASSERT_TRUE(MakeMainWindow());
    g_helpCalls.clear();
    TheConsole().SetHtmlHelpEntry(RefuseHelp);
    CDialogDriver driver;
    driver.AnswerNextBox(IDOK);
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_MAIN_FRAME, HELP_CONTEXT);
    TheConsole().SetHtmlHelpEntry(NULL);
    ASSERT_EQ(driver.Boxes().size(), 1u);
    const BoxRecord &box = driver.Boxes()[0];
    EXPECT_EQ(box.text, std::string(TheConsole().Texts().GetText("Error_HelpFailed", "APP")));
    EXPECT_EQ(box.caption, std::string(TheConsole().Texts().GetAppName()));
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(box.owner, static_cast<HWND>(NULL));
}

// The box when the help file is missing, then the real file shown by the
// system's HTML Help (a blank page where Wine has no HTML engine).
TEST_F(HelpRequests, AMissingHelpFileIsReportedAndTheShippedOneOpens)
{
    ASSERT_TRUE(ShowMainWindow());
    const CString shipped = m_folder.File("Ferrowind.chm");
    ASSERT_TRUE(::MoveFileA(shipped, m_folder.File("Away.chm")));
    CDialogDriver driver;
    driver.AnswerNextBox(IDOK);
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_MAIN_FRAME, HELP_CONTEXT);
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].text, std::string(TheConsole().Texts().GetText("Error_HelpFailed", "APP")));

    ASSERT_TRUE(::MoveFileA(m_folder.File("Away.chm"), shipped));
    TheConsole().WinHelp(HELP_DATA_BASE + IDD_MAIN_FRAME, HELP_CONTEXT);
    PumpFor(1500);
    EXPECT_EQ(driver.Boxes().size(), 1u) << "no box for a file that opens";
    SaveTestScreen(NULL, "help");
    for (HWND help = ::FindWindowA("HH Parent", NULL); help; help = ::FindWindowA("HH Parent", NULL))
        ::DestroyWindow(help);
}

class LoggedOff : public ConsoleWindowTest
{
};

TEST_F(LoggedOff, TheCheckRefusesWithTheBoxAndLetsThroughWhileLoggedOn)
{
    CDialogDriver driver;
    EXPECT_FALSE(RefuseWhileLoggedOff(NULL));
    EXPECT_TRUE(driver.Boxes().empty());
    LoggedOn = 0;
    driver.AnswerNextBox(IDOK);
    EXPECT_TRUE(RefuseWhileLoggedOff(NULL));
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].text, std::string(TheConsole().Texts().GetText("LOG_DONT", "APP")));
    EXPECT_EQ(driver.Boxes()[0].caption, std::string(TheConsole().Texts().GetAppName()));
    EXPECT_EQ(driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST(StartCount, AnyTextReadsWithoutOverflowAndWrapsAsUnsigned)
{
    const std::pair<const char *, UINT> cases[] = {
        {"0", 0}, {"3", 3}, {"-1", 0xFFFFFFFFu}, {"4294967295", 0xFFFFFFFFu},
        {"99999999999999999999", 0xFFFFFFFFu}, {"-99999999999999999999", 0x80000000u},
        {"", 0}, {"abc", 0}, {"12abc", 12}, {"  7", 7}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseStartCount(c.first), c.second) << c.first;
    EXPECT_EQ(ParseStartCount(NULL), 0u);
    EXPECT_EQ(ParseStartCount("-1") + 1, 0u) << "the count wraps";
}

} // namespace
