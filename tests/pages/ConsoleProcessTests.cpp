// The real console, QFW.exe, started in a fresh program folder after its
// own -fzinstall over a catalog of the system before installation: what
// the provider shared by every process and the emulated driver then know,
// a second start, the exits, and each start-up failure with its box
// answered from here.
#include <CatalogFixture.h>
#include <ConsoleInstance.h>
#include <ConsoleMessages.h>
#include <DataBase.h>
#include <Installer.h>
#include <LanguageText.h>
#include <NetvaneControl.h>
#include <NetvaneIoctl.h>
#include <ProgramFolderFixture.h>
#include <ProviderControlBlock.h>
#include <ProviderKey.h>

#include "ConsoleProcess.h"
#include "StandInNotificationArea.h"

#include <ConsoleResources.h>
#include <DialogDriver.h>
#include <RealInput.h>
#include <TestScreens.h>

#include "../provider/ProviderTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace {

const char kRuleFileFailed[] = "\xb4\xf2\xbf\xaa\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const char kLogFileFailed[] = "\xb4\xf2\xbf\xaa\xc8\xd5\xd6\xbe\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const DWORD kWaitMs = 30000;

struct WindowSearch {
    DWORD processId;
    const char *windowClass;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    WindowSearch &search = *reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != search.processId || !IsWindowVisible(window) ||
        (search.windowClass && strcmp(name, search.windowClass) != 0))
        return TRUE;
    search.found = window;
    return FALSE;
}

// The first visible top-level window of the process with the class, or
// NULL.
HWND VisibleWindowOf(DWORD processId, const char *windowClass = nullptr)
{
    WindowSearch search = {processId, windowClass, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitFor(const std::function<bool()> &done, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

NetvaneStatus EmulatorStatus()
{
    NetvaneStatus status = {};
    EXPECT_TRUE(NetvaneGetStatus(&status));
    return status;
}

class ConsoleProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NetvaneReset();
        ASSERT_TRUE(InstallConsole(m_folder.Path()));
        char path[MAX_PATH] = "";
        ASSERT_TRUE(CInstaller::GetProviderPath(path));
        ASSERT_EQ(std::string(path), std::string(m_folder.File("QFW.DLL")));
        m_provider = LoadLibraryA(m_folder.File("QFW.DLL"));
        ASSERT_NE(m_provider, nullptr);
    }

    void TearDown() override
    {
        if (m_provider)
            FreeLibrary(m_provider);
        UninstallConsole();
        NetvaneReset();
    }

    // The provider's data shared with every process that loads it.
    // The console's box, on the screen, then answered with OK.
    BoxRecord AnswerBox(DWORD processId, const char *state)
    {
        HWND box = WaitForBoxOfProcess(processId, kWaitMs);
        if (!box) {
            ADD_FAILURE() << "no box: " << state;
            return BoxRecord{};
        }
        SaveTestScreen(box, state);
        return AnswerBoxOfProcess(box, IDOK);
    }

    ProviderControlBlock &Control()
    {
        return *ModuleSection<ProviderControlBlock>(m_provider, PROVIDER_CONTROL_SECTION);
    }
    std::string ConsolePath() { return ModuleSection<char>(m_provider, PROVIDER_CONSOLE_PATH_SECTION); }

    // Nothing of a console is left: process, marker, mutex, registration,
    // filtering, rule image.
    void ExpectNothingLeft()
    {
        EXPECT_EQ(FindMarkedConsoleWindow(), static_cast<HWND>(NULL));
        EXPECT_FALSE(ConsoleMutexExists());
        EXPECT_EQ(Control().ConsoleProcessId, 0u);
        EXPECT_EQ(Control().WorkMode, 0);
        const NetvaneStatus driver = EmulatorStatus();
        EXPECT_EQ(driver.BlockLive, 0u) << "the rule image's block is released";
        EXPECT_EQ(driver.AclReady, 0u);
    }

    // A started console as the user finds it: registered, the stored mode
    // sent, the rule image announced to the driver and its events polled.
    void ExpectRunning(CConsoleProcess &console, HWND main)
    {
        ASSERT_NE(main, static_cast<HWND>(NULL));
        EXPECT_EQ(Control().ConsoleProcessId, console.Id());
        EXPECT_STRCASEEQ(ConsolePath().c_str(), m_folder.File("QFW.exe"));
        // The main window sends the stored mode as its set-up ends.
        EXPECT_TRUE(WaitFor([this] { return Control().WorkMode == 1; }, 5000)) << "the stored work mode";
        EXPECT_TRUE(ConsoleMutexExists());
        // The threads start once the window is made, which may take a while.
        EXPECT_TRUE(WaitFor([] { return EmulatorStatus().EventsStarted == 1; }, 5000)) << "the events started";
        const NetvaneStatus started = EmulatorStatus();
        EXPECT_EQ(started.AclReady, 1u) << "the rule image is announced";
        EXPECT_EQ(started.BlockLive, 1u);
        EXPECT_GT(started.BlockSize, 0u);
        EXPECT_EQ(started.EventsStarted, 1u);
        // The poller's passes tick the driver about once a second.
        EXPECT_TRUE(WaitFor([&] { return EmulatorStatus().Ticks >= started.Ticks + 2; }, 5000))
            << "the driver's events are polled";
    }

    // A failure reported in a box: its text, the caption, then nothing left.
    // The console's process id.
    DWORD ExpectFailureBox(const std::string &text, const char *state)
    {
        CConsoleProcess console(m_folder.Path(), "");
        EXPECT_TRUE(console.Started());
        const BoxRecord box = AnswerBox(console.Id(), state);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "QFW");
        EXPECT_NE(console.WaitForExit(), STILL_ACTIVE);
        ExpectNothingLeft();
        return console.Id();
    }

    // A failure that ends the start-up without a word, and leaves nothing.
    DWORD ExpectSilentEnd()
    {
        CConsoleProcess console(m_folder.Path(), "");
        EXPECT_TRUE(console.Started());
        EXPECT_EQ(WaitForBoxOfProcess(console.Id(), 3000), static_cast<HWND>(NULL));
        EXPECT_NE(console.WaitForExit(), STILL_ACTIVE);
        ExpectNothingLeft();
        return console.Id();
    }

    std::string AppText(const char *key)
    {
        CLanguageText texts;
        texts.SetSource(m_folder.LanguageFile(), "APP", "APP", "APP_NAME");
        return std::string(texts.GetText(key));
    }

    void SetProviderPath(const CString &path)
    {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExA(key, PROVIDER_PATH_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE *>(LPCTSTR(path)),
                       path.GetLength() + 1);
        RegCloseKey(key);
    }

    void StoreStartCount(UINT starts)
    {
        // Open's result tells whether the tips counter row was added, not
        // whether the file opened.
        CDataBase settings;
        settings.Open(m_folder.File("Config.dat"));
        ASSERT_TRUE(settings.SetUInt("StartCount", starts, "Options"));
    }

    CProgramFolderFixture m_folder;
    HMODULE m_provider = nullptr;
};

TEST_F(ConsoleProcess, RunsRegisteredAndExitsCleanlyOnTheUpdatersRequest)
{
    for (int start = 0; start < 2; ++start) {
        CConsoleProcess console(m_folder.Path(), "");
        ASSERT_TRUE(console.Started());
        HWND main = console.WaitForMarkedWindow();
        ExpectRunning(console, main);
        EXPECT_FALSE(IsWindowVisible(main)) << "the first starts stay in the notification area";

        MoveWindow(main, 20, 30, 620, 460, TRUE);
        SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
        EXPECT_EQ(console.WaitForExit(), 0u);
        ExpectNothingLeft();
    }
    CDataBase settings;
    settings.Open(m_folder.File("Config.dat"));
    EXPECT_EQ(settings.GetString("MainFramPos", "UI_Config"), CString("20,30,640,490"));
    EXPECT_EQ(settings.GetString("StartCount", "Options"), CString("2"));
}

// The notification-area icon's menu as the console shows it: the menu
// window of its process, found on the screen.
HWND WaitForMenuOf(CConsoleProcess &console)
{
    HWND menu = nullptr;
    WaitFor([&] { return (menu = VisibleWindowOf(console.Id(), "#32768")) != nullptr; }, 5000);
    return menu;
}

// A right click on the console's icon, as the shell reports it to the
// icon's window, then a click with the mouse on the menu's last item, Exit.
// (Wine's stand-in notification area, a window of its own when there is no
// task bar, loses the menu now and then when clicked itself, and a
// maximised window covers it.)
bool ClickTrayExit(CConsoleProcess &console, HWND main, const char *state)
{
    PostMessageA(main, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
    HWND menu = WaitForMenuOf(console);
    EXPECT_NE(menu, static_cast<HWND>(NULL)) << "the icon's menu";
    if (!menu)
        return false;
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(menu)) << "the menu stays";
    SaveTestScreen(nullptr, state);
    RECT place;
    GetWindowRect(menu, &place);
    // Below the last separator, above the menu's bottom border.
    const POINT exitItem = {(place.left + place.right) / 2, place.bottom - 9};
    ClickAt(exitItem);
    return true;
}

TEST_F(ConsoleProcess, TheTrayMenusExitClickedEndsItCleanlyAndTheNextStartRuns)
{
    struct ExitCase {
        const char *state;
        UINT command; // 0: as it is, else a caption command first
        const char *stored;
    } const cases[] = {
        {"tray-menu", 0, "40,50,680,530"},
        {"tray-menu-maximised", IDC_CAPTION_MAXIMIZE, "40,50,680,530"},
        {"tray-menu-minimised", IDC_CAPTION_MINIMIZE, "40,50,680,530"},
    };
    for (const ExitCase &c : cases) {
        CConsoleProcess console(m_folder.Path(), "");
        ASSERT_TRUE(console.Started());
        HWND main = console.WaitForMarkedWindow();
        ExpectRunning(console, main);
        PostMessageA(main, WM_SHOW_CONSOLE, 0, 0);
        ASSERT_TRUE(WaitFor([main] { return IsWindowVisible(main) != FALSE; }, 5000)) << c.state;
        if (c.command) {
            // Elsewhere than the place stored before, which must stay.
            MoveWindow(main, 90, 70, 700, 500, TRUE);
            PostMessageA(main, WM_COMMAND, c.command, 0);
            ASSERT_TRUE(WaitFor([&] { return (IsZoomed(main) || IsIconic(main)) != FALSE; }, 5000)) << c.state;
        } else {
            MoveWindow(main, 40, 50, 640, 480, TRUE);
        }
        ASSERT_TRUE(ClickTrayExit(console, main, c.state)) << c.state;
        EXPECT_EQ(console.WaitForExit(), 0u) << c.state;
        ExpectNothingLeft();
        CDataBase settings;
        settings.Open(m_folder.File("Config.dat"));
        EXPECT_EQ(settings.GetString("MainFramPos", "UI_Config"), CString(c.stored)) << c.state;
    }
    CConsoleProcess next(m_folder.Path(), "");
    HWND main = next.WaitForMarkedWindow();
    ExpectRunning(next, main);
    SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
    EXPECT_EQ(next.WaitForExit(), 0u);
}

TEST_F(ConsoleProcess, ASecondStartShowsTheFirstAndEnds)
{
    CConsoleProcess first(m_folder.Path(), "");
    HWND main = first.WaitForMarkedWindow();
    ASSERT_NE(main, static_cast<HWND>(NULL));
    ASSERT_FALSE(IsWindowVisible(main));

    CConsoleProcess second(m_folder.Path(), "");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_EQ(Control().ConsoleProcessId, first.Id()) << "the registration is the first's";
    NetvaneCall calls[1];
    EXPECT_EQ(NetvaneReadCalls(second.Id(), calls, 1), 0u) << "the second start calls no driver";
    EXPECT_TRUE(WaitFor([main] { return IsWindowVisible(main) != FALSE; }, 5000));

    SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

// From the fourth start on the splash window shows the main window as it
// goes; a start for embedding shows no splash window, so none at all.
TEST_F(ConsoleProcess, AStartForEmbeddingShowsNoWindow)
{
    struct EmbeddingCase {
        const char *arguments;
        bool shown;
    } const cases[] = {{"", true}, {"/Embedding", false}, {"-Embedding", false}};
    for (const EmbeddingCase &c : cases) {
        StoreStartCount(5);
        CConsoleProcess console(m_folder.Path(), c.arguments);
        HWND main = console.WaitForMarkedWindow();
        ASSERT_NE(main, static_cast<HWND>(NULL)) << c.arguments;
        WaitFor([main] { return IsWindowVisible(main) != FALSE; }, 3000);
        EXPECT_EQ(IsWindowVisible(main) != FALSE, c.shown) << c.arguments;
        if (!c.shown) {
            EXPECT_EQ(VisibleWindowOf(console.Id()), static_cast<HWND>(NULL)) << c.arguments;
        }
        SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
        EXPECT_EQ(console.WaitForExit(), 0u) << c.arguments;
    }
}

// The status picture at the main window's bottom left: logged on at a
// start without a console password, logged off at one with a password.
TEST_F(ConsoleProcess, StartsLoggedOnOnlyWithoutAPassword)
{
    const char *const passwords[] = {"", "secret"};
    CDib shots[2];
    RECT status = {};
    for (int i = 0; i < 2; ++i) {
        {
            CDataBase settings;
            settings.Open(m_folder.File("Config.dat"));
            ASSERT_TRUE(settings.SetString("WP", passwords[i], "UI_Config"));
            // The same place both times: the window is marked before it
            // places itself, so it is not moved from here.
            ASSERT_TRUE(settings.SetString("MainFramPos", "40,50,640,490", "UI_Config"));
        }
        // No button under the pointer lights up in either picture.
        MovePointerTo(POINT{1200, 1000});
        CConsoleProcess console(m_folder.Path(), "");
        HWND main = console.WaitForMarkedWindow();
        ASSERT_NE(main, static_cast<HWND>(NULL));
        PostMessageA(main, WM_SHOW_CONSOLE, 0, 0);
        ASSERT_TRUE(WaitFor([main] { return IsWindowVisible(main) != FALSE; }, 5000));
        Sleep(500);
        shots[i] = SaveTestScreen(main, i ? "logged-off" : "logged-on");
        RECT client;
        GetClientRect(main, &client);
        // The status picture, 14 rows high, stands 2 pixels clear of the
        // 8-pixel band at the bottom.
        status = {19, client.bottom - 24, 98, client.bottom - 10};
        SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
        EXPECT_EQ(console.WaitForExit(), 0u);
    }
    ASSERT_EQ(shots[0].Width(), shots[1].Width());
    ASSERT_EQ(shots[0].Height(), shots[1].Height());
    // The band below the page, whose live traffic differs between the two
    // starts: the status picture alone changes there.
    int differing = 0, outside = 0;
    for (int y = shots[0].Height() - 35; y < shots[0].Height(); ++y)
        for (int x = 0; x < shots[0].Width(); ++x)
            if (shots[0].Pixel(x, y) != shots[1].Pixel(x, y))
                ++(PtInRect(&status, POINT{x, y}) ? differing : outside);
    EXPECT_GT(differing, 20) << "the status picture differs";
    EXPECT_EQ(outside, 0);
}

TEST_F(ConsoleProcess, WithoutTheDriverTheBoxSaysSoAndNothingIsLeft)
{
    ASSERT_TRUE(CInstaller().UninstallDriverService());
    ExpectFailureBox(AppText("Error_OpenDriver"), "no-driver");
}

TEST_F(ConsoleProcess, ARefusedRuleImageBlockIsReportedInTheBuiltInText)
{
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_CREATE_BLOCK, ERROR_NOT_ENOUGH_MEMORY));
    const DWORD console = ExpectFailureBox(kRuleFileFailed, "block-refused");
    EXPECT_EQ(NetvaneCountCalls(console, IOCTL_NETVANE_CREATE_BLOCK), 1u);
}

TEST_F(ConsoleProcess, AConnectionLogHeldOpenIsReportedInTheBuiltInText)
{
    HANDLE held = CreateFileA(m_folder.File("ProgramLogs.dat"), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ExpectFailureBox(kLogFileFailed, "log-held");
    CloseHandle(held);
}

// The same start-up in a program that reports no Windows Sockets 2.
TEST_F(ConsoleProcess, WithoutWinsock2TheBoxSaysSoAndNothingIsLeft)
{
    ASSERT_TRUE(CopyFileA((BinFolder() + "QFWWithoutWinsock.exe").c_str(), m_folder.File("QFW.exe"), FALSE));
    const DWORD console = ExpectFailureBox(AppText("Error_Winsock2"), "no-winsock2");
    NetvaneCall calls[1];
    EXPECT_EQ(NetvaneReadCalls(console, calls, 1), 0u) << "the driver is not opened";
}

TEST_F(ConsoleProcess, WithoutTheProvidersPathItEndsSilently)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, PROVIDER_PATH_VALUE);
    RegCloseKey(key);
    ExpectSilentEnd();
}

TEST_F(ConsoleProcess, AProviderWithoutItsControlEntryEndsItSilently)
{
    SetProviderPath(m_folder.File("TcpipBase.dll"));
    ExpectSilentEnd();
}

TEST_F(ConsoleProcess, RefusedDriverEventsEndItSilently)
{
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_START_EVENTS, ERROR_GEN_FAILURE));
    const DWORD console = ExpectSilentEnd();
    EXPECT_EQ(NetvaneCountCalls(console, IOCTL_NETVANE_START_EVENTS), 1u);
}

TEST_F(ConsoleProcess, ANotificationAreaThatRefusesTheIconLeavesItRunningShownAndAskingAgain)
{
    CStandInNotificationArea shell(false);
    ASSERT_TRUE(shell.Made());
    CConsoleProcess console(m_folder.Path(), "");
    ASSERT_TRUE(console.Started());
    HWND main = console.WaitForMarkedWindow();
    ExpectRunning(console, main);
    EXPECT_GE(shell.Refused(), 1) << "the console asked for its icon";
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000)) << "shown: no icon to open it from";
    EXPECT_EQ(WaitForBoxOfProcess(console.Id(), 500), static_cast<HWND>(NULL));
    SaveTestScreen(main, "shown-without-icon");
    const LONG first = shell.Refused();
    EXPECT_TRUE(WaitFor([&] { return shell.Refused() > first; }, kWaitMs))
        << "asked again on its timer";

    // The shell is ready and announces its task bar.
    shell.Accept();
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(WaitFor([&] { return shell.Accepted() >= 1; }, kWaitMs)) << "the icon is in";
    const LONG accepted = shell.Accepted();
    SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
    EXPECT_EQ(console.WaitForExit(), 0u);
    EXPECT_GT(shell.Accepted(), accepted) << "the icon it holds is removed at exit";
    ExpectNothingLeft();
}

TEST_F(ConsoleProcess, InstallingOnAnEmptyCatalogFailsYetSetsTheAutoStart)
{
    CCatalogFixture::Clear();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY);
    CInstaller().SetAutoStart(FALSE);
    CConsoleProcess install(m_folder.Path(), "-fzinstall");
    const BoxRecord box = AnswerBox(install.Id(), "install-failed");
    EXPECT_EQ(box.text, AppText("Install_Failed"));
    EXPECT_EQ(box.caption, "QFW");
    EXPECT_EQ(install.WaitForExit(), 0u);
    char run[MAX_PATH] = "";
    EXPECT_TRUE(CInstaller::ReadRegValue(kRunValue, run, sizeof run, HKEY_LOCAL_MACHINE, kRunKey, REG_SZ));
}

} // namespace
