// The main window on the screen, driven by real clicks and keys and by the
// messages other programs send it; what it stores is read back from the
// settings and firewall stores, what it sends to the provider from a
// recording control entry.
#include "ConsoleUnderTest.h"

#include <ConsoleInstance.h>
#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <ConsoleSettings.h>
#include <LoggedOn.h>
#include <VersionLine.h>

#include <DialogDriver.h>
#include <Dib.h>
#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <algorithm>
#include <thread>

namespace {

const UINT kSideBar[] = {IDC_SIDE_MONITOR, IDC_SIDE_FIREWALL, IDC_SIDE_PROGRAM,
                         IDC_SIDE_LOGS,    IDC_SIDE_OPTIONS,  IDC_SIDE_INFO};
const UINT kTabOf[] = {IDD_MONITOR_PAGE, IDD_FIREWALL_PAGE, IDD_PROGRAM_PAGE,
                       IDD_LOGS_PAGE,    IDD_SYSTEM_PAGE,   IDD_INFO_PAGE};

CRect WindowRect(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

CRect WorkArea()
{
    CRect area;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The page window of a tab id.
HWND PageOf(UINT tabId)
{
    CMainFrame &frame = TheConsole().MainFrame();
    CWnd *pages[] = {&frame.SystemPage(), &frame.MonitorPage(), &frame.FirewallPage(),
                     &frame.ProgramPage(), &frame.LogsPage(), &frame.InfoPage()};
    const UINT ids[] = {IDD_SYSTEM_PAGE, IDD_MONITOR_PAGE, IDD_FIREWALL_PAGE,
                        IDD_PROGRAM_PAGE, IDD_LOGS_PAGE, IDD_INFO_PAGE};
    for (int i = 0; i < 6; ++i)
        if (ids[i] == tabId)
            return pages[i]->GetSafeHwnd();
    return NULL;
}

// The pages that are shown, by tab id.
std::vector<UINT> VisiblePages()
{
    std::vector<UINT> shown;
    for (UINT tabId : kTabOf)
        if (::GetWindowLongA(PageOf(tabId), GWL_STYLE) & WS_VISIBLE)
            shown.push_back(tabId);
    return shown;
}

class MainWindow : public ConsoleWindowTest
{
};

TEST_F(MainWindow, MadeHiddenCountedAndMarked)
{
    ConsoleSettings().SetString("StartCount", "2", "Options");
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(Setting("StartCount", "Options"), CString("3"));
    EXPECT_EQ(::GetPropA(Main(), CONSOLE_INSTANCE_MARKER),
              reinterpret_cast<HANDLE>(const_cast<char *>(CONSOLE_INSTANCE_MARKER)));
    EXPECT_EQ(FindMarkedConsoleWindow(), Main());
    EXPECT_EQ(TextOf(Main()), std::string(TheConsole().Texts().GetAppName()));

    char version[64] = "";
    ::GetPrivateProfileStringA("MAIN_INFOR", "Version", "", version, sizeof version,
                               m_folder.File("QfwUpdate.ini"));
    ASSERT_STRNE(version, "");
    EXPECT_EQ(std::string(VersionLine()), std::string("Version   ") + version);

    const LONG style = ::GetWindowLongA(Main(), GWL_STYLE);
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_DISABLED),
              WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU);
    EXPECT_TRUE(::GetWindowLongA(Main(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(VisiblePages(), std::vector<UINT>{IDD_MONITOR_PAGE});

    // A second start's message shows it.
    ::PostMessageA(Main(), WM_SHOW_CONSOLE, 0, 0);
    PumpUntil([&] { return ::IsWindowVisible(Main()) != FALSE; });
    EXPECT_TRUE(::IsWindowVisible(Main()));
    PumpFor(200);
    SaveTestScreen(Main(), "shown");
}

TEST_F(MainWindow, WithoutQfwUpdateTheVersionLineIsTheWordAlone)
{
    ASSERT_TRUE(::DeleteFileA(m_folder.File("QfwUpdate.ini")));
    m_folder.ExpectMiss(KIT_MISSING_TEXT, "Version");
    ASSERT_TRUE(MakeMainWindow());
    EXPECT_EQ(std::string(VersionLine()), "Version   ");
}

TEST_F(MainWindow, SideBarShowsEachPageAndStoresIt)
{
    ASSERT_TRUE(ShowMainWindow());
    for (int i = 0; i < 6; ++i) {
        ClickControl(Control(kSideBar[i]));
        PumpFor(150);
        EXPECT_EQ(VisiblePages(), std::vector<UINT>{kTabOf[i]}) << "button " << kSideBar[i];
        EXPECT_EQ(ConsoleSettings().GetMainFramTabID(), static_cast<int>(kTabOf[i]));
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(::IsWindowEnabled(Control(kSideBar[k])) == FALSE, k == i)
                << "the current page's button alone is checked";
        char state[32];
        sprintf(state, "page-%u", kTabOf[i]);
        SaveTestScreen(Main(), state);
    }
}

TEST_F(MainWindow, AStoredIdOfNoPageShowsNoneAndIsStoredAgain)
{
    ConsoleSettings().SetString("MainFramTabID", "999", "UI_Config");
    ASSERT_TRUE(ShowMainWindow());
    EXPECT_TRUE(VisiblePages().empty());
    for (UINT id : kSideBar)
        EXPECT_TRUE(::IsWindowEnabled(Control(id))) << id;
    EXPECT_EQ(Setting("MainFramTabID", "UI_Config"), CString("999"));
    SaveTestScreen(Main(), "no-page");
}

struct LockCase {
    const char *stored; // Firewall.dat Config WorkMode
    BYTE atStart;       // the mode set-up sends the provider and shows
    BYTE after;         // the mode after one use of the switch
};

class LockSwitch : public ConsoleWindowTest, public ::testing::WithParamInterface<LockCase>
{
protected:
    // Whether the switch shows the picture row of the mode (0 normal, 1
    // locked) in any of its states, with the pointer away from it.
    bool ShowsLockRow(int row)
    {
        MovePointerTo(POINT{5, 5});
        PumpFor(150);
        const CDib strip = ReadPictureFile(m_folder.SkinFile("BUT_MAIN_LOCK.bmp"));
        if (strip.IsEmpty())
            return false;
        const CDib shown = CaptureWindow(Control(IDC_LOCK_SWITCH));
        const int w = strip.Width() / 3, h = strip.Height() / 2;
        for (int column = 0; column < 3; ++column) {
            if (shown.CountDifferences(strip.Part(RECT{column * w, row * h, (column + 1) * w, (row + 1) * h})) == 0)
                return true;
        }
        return false;
    }

    // The switch's picture and its label name the mode.
    void ExpectShown(BYTE mode)
    {
        CLanguageText texts;
        texts.SetSource(m_folder.LanguageFile(), "FRAME_MAIN", "APP", "APP_NAME");
        const bool locked = mode == WORK_MODE_LOCKED;
        EXPECT_EQ(TextOf(Control(IDC_LOCK_LABEL)), std::string(texts.GetText(locked ? "LB_Lock" : "LB_Unlock")));
        EXPECT_TRUE(ShowsLockRow(locked ? 1 : 0)) << "the switch's picture of mode " << int(mode);
    }
};

// Only a stored 2 starts locked; any other value, filtering off and text
// that is no number included, starts normal, and everything shows so.
TEST_P(LockSwitch, ShowsTheModeSentAndTurnsIt)
{
    const LockCase c = GetParam();
    ASSERT_TRUE(TheConsole().Publisher().ZoneStore().SetConfig("WorkMode", c.stored));
    ASSERT_TRUE(ShowMainWindow());
    ASSERT_EQ(SpiCalls().size(), 1u);
    EXPECT_EQ(SpiCalls()[0].code, static_cast<DWORD>(SPI_SET_WORK_MODE));
    EXPECT_EQ(SpiCalls()[0].block.Value & 0xFF, c.atStart);
    ExpectShown(c.atStart);
    SaveTestScreen(Main(), c.atStart == WORK_MODE_LOCKED ? "locked" : "normal");

    ClickControl(Control(IDC_LOCK_SWITCH));
    PumpFor(150);
    char stored[8];
    sprintf(stored, "%u", c.after);
    EXPECT_EQ(TheConsole().Publisher().ZoneStore().GetConfig("WorkMode"), CString(stored));
    ASSERT_EQ(SpiCalls().size(), 2u);
    EXPECT_EQ(SpiCalls()[1].block.Value & 0xFF, c.after);
    ExpectShown(c.after);
    SaveTestScreen(Main(), "switched");

    ClickControl(Control(IDC_LOCK_SWITCH));
    PumpFor(150);
    ASSERT_EQ(SpiCalls().size(), 3u);
    EXPECT_EQ(SpiCalls()[2].block.Value & 0xFF, c.atStart) << "and back";
    ExpectShown(c.atStart);
}

INSTANTIATE_TEST_SUITE_P(StoredModes, LockSwitch,
                         ::testing::Values(LockCase{"1", 1, 2}, LockCase{"2", 2, 1}, LockCase{"0", 1, 2},
                                           LockCase{"7", 1, 2}, LockCase{"locked", 1, 2}));

TEST_F(MainWindow, TheLockSwitchStoresWithoutAProvider)
{
    TheConsole().SetSpiIoControl(NULL);
    ASSERT_TRUE(ShowMainWindow());
    ClickControl(Control(IDC_LOCK_SWITCH));
    PumpFor(150);
    EXPECT_EQ(TheConsole().Publisher().ZoneStore().GetConfig("WorkMode"), CString("2"));
    EXPECT_TRUE(SpiCalls().empty());
}

TEST_F(MainWindow, EnterEscAndAltF4LeaveItAsItIs)
{
    ASSERT_TRUE(ShowMainWindow());
    const CRect before = WindowRect(Main());
    for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
        BringToFront(Main());
        PressKey(key);
        PumpFor(100);
    }
    BringToFront(Main());
    PressKey(VK_F4, VK_MENU);
    PumpFor(200);
    ::SendMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(100);
    ASSERT_TRUE(::IsWindow(Main()));
    EXPECT_TRUE(::IsWindowVisible(Main()));
    EXPECT_EQ(WindowRect(Main()), before);
}

TEST_F(MainWindow, CaptionButtonsHideMinimiseMaximiseAndRestore)
{
    ASSERT_TRUE(ShowMainWindow());
    ClickControl(Control(IDC_CAPTION_HIDE));
    PumpFor(100);
    EXPECT_FALSE(::IsWindowVisible(Main()));

    ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_OPEN, 0);
    ClickControl(Control(IDC_CAPTION_MINIMIZE));
    PumpFor(100);
    EXPECT_TRUE(::IsIconic(Main()));

    ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_OPEN, 0);
    PumpFor(100);
    EXPECT_FALSE(::IsIconic(Main()));
    ClickControl(Control(IDC_CAPTION_MAXIMIZE));
    PumpFor(300);
    EXPECT_TRUE(::IsZoomed(Main()));
    SaveTestScreen(Main(), "maximised");

    ClickControl(Control(IDC_CAPTION_MAXIMIZE));
    PumpFor(300);
    EXPECT_FALSE(::IsZoomed(Main()));
    EXPECT_TRUE(::IsWindowVisible(Main()));
}

// The right edge of the page's rightmost shown control, in the page's
// client coordinates.
int RightmostControl(HWND page)
{
    int rightmost = 0;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        CRect rect = WindowRect(child);
        ::MapWindowPoints(NULL, page, reinterpret_cast<POINT *>(&rect), 2);
        rightmost = std::max<int>(rightmost, rect.right);
    }
    return rightmost;
}

// Maximised, the lock switch keeps its place from the right edge and every
// page's controls anchored to the right follow the page's width.
TEST_F(MainWindow, AMaximisedWindowFillsWithTheLockSwitchAndEveryPage)
{
    ASSERT_TRUE(ShowMainWindow());
    const int lockFromRight = WindowRect(Main()).right - WindowRect(Control(IDC_LOCK_SWITCH)).left;
    ClickControl(Control(IDC_CAPTION_MAXIMIZE));
    PumpFor(300);
    ASSERT_TRUE(::IsZoomed(Main()));
    EXPECT_EQ(WindowRect(Main()).right - WindowRect(Control(IDC_LOCK_SWITCH)).left, lockFromRight);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(kTabOf[i]);
        ClickControl(Control(kSideBar[i]));
        PumpFor(300);
        ASSERT_EQ(VisiblePages(), std::vector<UINT>{kTabOf[i]});
        const HWND page = PageOf(kTabOf[i]);
        CRect client;
        ::GetClientRect(page, &client);
        // The about page's controls all stand at the left; its pictures
        // are drawn at the corners.
        if (kTabOf[i] != IDD_INFO_PAGE) {
            EXPECT_GT(RightmostControl(page), client.right - 40) << "the page's controls keep their width";
        }
        SaveTestScreen(Main(), ("maximised-page-" + std::to_string(kTabOf[i])).c_str());
    }
    ClickControl(Control(IDC_CAPTION_MAXIMIZE));
    PumpFor(300);
}

TEST_F(MainWindow, TopMostTurnsOnAndOff)
{
    ASSERT_TRUE(ShowMainWindow());
    EXPECT_FALSE(::GetWindowLongA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_TOP_MOST, 0);
    EXPECT_TRUE(::GetWindowLongA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_TOP_MOST, 0);
    EXPECT_FALSE(::GetWindowLongA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// Every edge and corner dragged to a window too small both ways: the
// dragged sides give way to 600 x 440; the sides held stay.
TEST_F(MainWindow, SizingHoldsTheSmallestSizeAtEveryEdgeAndCorner)
{
    ASSERT_TRUE(MakeMainWindow());
    struct SizingCase {
        UINT edge;
        RECT expected;
    } const cases[] = {
        {WMSZ_LEFT, {500, 300, 1100, 400}},   {WMSZ_RIGHT, {1000, 300, 1600, 400}},
        {WMSZ_TOP, {1000, -40, 1100, 400}},   {WMSZ_BOTTOM, {1000, 300, 1100, 740}},
        {WMSZ_TOPLEFT, {500, -40, 1100, 400}}, {WMSZ_TOPRIGHT, {1000, -40, 1600, 400}},
        {WMSZ_BOTTOMLEFT, {500, 300, 1100, 740}}, {WMSZ_BOTTOMRIGHT, {1000, 300, 1600, 740}},
    };
    for (const SizingCase &c : cases) {
        RECT rect = {1000, 300, 1100, 400};
        ::SendMessageA(Main(), WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect));
        EXPECT_TRUE(::EqualRect(&rect, &c.expected))
            << "edge " << c.edge << ": " << rect.left << "," << rect.top << "," << rect.right << ","
            << rect.bottom;
    }
    // A window wide enough keeps its width; the left and right edges alone
    // leave the height as dragged.
    RECT wide = {0, 300, 700, 400};
    ::SendMessageA(Main(), WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&wide));
    const RECT wideExpected = {0, -40, 700, 400};
    EXPECT_TRUE(::EqualRect(&wide, &wideExpected));
}

TEST_F(MainWindow, DraggingTheGripStopsAtTheSmallestSize)
{
    ConsoleSettings().SetString("MainFramPos", "100,100,800,650", "UI_Config");
    ASSERT_TRUE(ShowMainWindow());
    const CRect before = WindowRect(Main());
    DragFromTo(POINT{before.right - 2, before.bottom - 2}, POINT{before.left + 100, before.top + 100});
    PumpFor(200);
    const CRect after = WindowRect(Main());
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_EQ(after.Width(), CMainFrame::kMinWidth);
    EXPECT_EQ(after.Height(), CMainFrame::kMinHeight);
}

struct PositionCase {
    const char *stored;
    bool applied;
    RECT rect;
};

class StoredPosition : public ConsoleWindowTest, public ::testing::WithParamInterface<PositionCase>
{
};

TEST_P(StoredPosition, IsAppliedNoSmallerThanTheSmallestSizeOrCentredAtIt)
{
    const PositionCase c = GetParam();
    ConsoleSettings().SetString("MainFramPos", c.stored, "UI_Config");
    ASSERT_TRUE(MakeMainWindow());
    const CRect placed = WindowRect(Main());
    if (c.applied) {
        EXPECT_EQ(placed, CRect(c.rect));
        return;
    }
    EXPECT_EQ(placed.Width(), 600);
    EXPECT_EQ(placed.Height(), 440);
    const CRect area = WorkArea();
    EXPECT_LE(abs((placed.left + placed.right) - (area.left + area.right)), 2);
    EXPECT_LE(abs((placed.top + placed.bottom) - (area.top + area.bottom)), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, StoredPosition,
    ::testing::Values(PositionCase{"10,20,550,600", true, {10, 20, 610, 600}},
                      PositionCase{"30,40,330,240", true, {30, 40, 630, 480}},
                      PositionCase{"5,6,705,506", true, {5, 6, 705, 506}},
                      PositionCase{"10,20,5,5", false, {}}, PositionCase{"10,20,10,400", false, {}},
                      PositionCase{"10,20,400", false, {}}, PositionCase{"", false, {}},
                      PositionCase{"left,top", false, {}}));

// The updater's request, sent from another thread as the updater sends it
// from its process: the place is stored and the window goes, marker first.
TEST_F(MainWindow, TheUpdatersExitStoresThePlaceAndDestroysTheWindow)
{
    ASSERT_TRUE(ShowMainWindow());
    ::MoveWindow(Main(), 40, 50, 640, 480, TRUE);
    PumpFor(100);
    HWND main = Main();
    std::thread updater([main] { ::SendMessageA(main, WM_CONSOLE_EXIT, 0, 0); });
    PumpUntil([&] { return !::IsWindow(main); });
    updater.join();
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_EQ(FindMarkedConsoleWindow(), static_cast<HWND>(NULL));
    EXPECT_TRUE(QuitPosted()) << "the message loop ends";
    EXPECT_EQ(Setting("MainFramPos", "UI_Config"), CString("40,50,680,530"));
}

TEST_F(MainWindow, ExitWhileMinimisedOrMaximisedKeepsThePlaceStoredBefore)
{
    for (int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
        ConsoleSettings().SetString("MainFramPos", "1,2,603,443", "UI_Config");
        ASSERT_TRUE(ShowMainWindow());
        ::ShowWindow(Main(), show);
        PumpFor(100);
        ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_EXIT, 0);
        PumpFor(100);
        EXPECT_FALSE(::IsWindow(Main()));
        EXPECT_EQ(Setting("MainFramPos", "UI_Config"), CString("1,2,603,443")) << show;
    }
}

// The status picture at the bottom left follows the logged-on flag.
TEST_F(MainWindow, TheStatusPictureFollowsLoggedOn)
{
    ASSERT_TRUE(ShowMainWindow());
    // A page that stands still: the traffic graphs move by themselves.
    TheConsole().MainFrame().SelectPage(IDD_INFO_PAGE);
    PumpFor(150);
    const CRect status = TheConsole().MainFrame().StatusPictureRect();
    const CDib on = SaveTestScreen(Main(), "logged-on");
    LoggedOn = 0;
    ::InvalidateRect(Main(), &status, FALSE);
    PumpFor(150);
    const CDib off = SaveTestScreen(Main(), "logged-off");
    int differing = 0, outside = 0;
    for (int y = 0; y < on.Height(); ++y)
        for (int x = 0; x < on.Width(); ++x)
            if (on.Pixel(x, y) != off.Pixel(x, y))
                ++(status.PtInRect(POINT{x, y}) ? differing : outside);
    EXPECT_GT(differing, 20);
    EXPECT_EQ(outside, 0);
}

std::vector<std::string> g_helpPaths;

HWND WINAPI RecordHelpPath(HWND owner, LPCSTR path, UINT, DWORD_PTR)
{
    g_helpPaths.push_back(path);
    return owner;
}

// The main window's help button asks the application, which opens the
// window's topic.
TEST_F(MainWindow, TheHelpButtonOpensTheWelcomeTopic)
{
    g_helpPaths.clear();
    TheConsole().SetHtmlHelpEntry(RecordHelpPath);
    ASSERT_TRUE(ShowMainWindow());
    ClickControl(Control(IDC_CAPTION_HELP));
    PumpFor(150);
    TheConsole().SetHtmlHelpEntry(NULL);
    ASSERT_EQ(g_helpPaths.size(), 1u);
    EXPECT_EQ(g_helpPaths[0], std::string(m_folder.File("Ferrowind.chm::/Welcome.htm")));
}

} // namespace
