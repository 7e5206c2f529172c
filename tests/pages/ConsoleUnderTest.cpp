#include "ConsoleUnderTest.h"

#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <ConsoleSettings.h>
#include <LoggedOn.h>
#include <SplashWindow.h>

#include <GuiPump.h>
#include <RealInput.h>

namespace {

CConsoleApp theConsole;

} // namespace

CConsoleApp &TheConsole()
{
    return theConsole;
}

std::vector<SpiCall> &SpiCalls()
{
    static std::vector<SpiCall> calls;
    return calls;
}

DWORD WINAPI RecordSpiIoControl(DWORD code, SpiIoBlock *block)
{
    SpiCalls().push_back({code, *block});
    return 0;
}

void ConsoleWindowTest::SetUp()
{
    TheConsole().BindTexts();
    ConsoleSettings().Open(m_folder.File("Config.dat"));
    // The smallest size, where every control of the window is in it.
    ConsoleSettings().SetString("MainFramPos", "100,80,700,520", "UI_Config");
    ASSERT_TRUE(TheConsole().Publisher().ZoneStore().Open(m_folder.File("Firewall.dat")));
    TheConsole().SetSpiIoControl(RecordSpiIoControl);
    SpiCalls().clear();
    LoggedOn = 1;
    CSplashWindow::EnableSplash(FALSE);
}

void ConsoleWindowTest::TearDown()
{
    EndMainWindow();
}

void ConsoleWindowTest::EndMainWindow()
{
    TheConsole().m_pMainWnd = NULL;
    if (::IsWindow(Main()))
        TheConsole().MainFrame().DestroyWindow();
    PumpFor(50);
    // The main window's end asks the message loop to end; this thread's
    // loops go on for the next test.
    MSG quit;
    while (::PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

bool QuitPosted()
{
    MSG quit;
    return ::PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

bool ConsoleWindowTest::MakeMainWindow()
{
    if (!TheConsole().MainFrame().Create(IDD_MAIN_FRAME, NULL))
        return false;
    TheConsole().m_pMainWnd = &TheConsole().MainFrame();
    TheConsole().MainFrame().ShowWindow(SW_HIDE);
    TheConsole().MainFrame().UpdateWindow();
    PumpFor(100);
    return true;
}

bool ConsoleWindowTest::ShowMainWindow()
{
    if (!MakeMainWindow())
        return false;
    ::SendMessageA(Main(), WM_SHOW_CONSOLE, 0, 0);
    BringToFront(Main());
    PumpFor(200);
    return ::IsWindowVisible(Main()) != FALSE;
}

CString ConsoleWindowTest::Setting(LPCTSTR key, LPCTSTR table)
{
    return ConsoleSettings().GetString(key, table);
}
