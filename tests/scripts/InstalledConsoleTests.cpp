// The console as scripts/run installs it: check-installed-console.sh lays
// the program folder and installs with the scripts' own steps, then runs
// this program with the folder. A program in a folder of its own, started
// from yet another current folder, must reach the provider through the
// catalog, be asked about at the console's pop-up, and connect once the
// user allows it.
#include <winsock2.h>

#include "ClientRun.h"
#include "ConsoleProcess.h"
#include "QueryPopups.h"

#include <ConsoleMessages.h>
#include <FirewallTypes.h>
#include <GuiPump.h>
#include <ProviderControlBlock.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The installed program folder, with its trailing backslash.
CString g_folder;

const DWORD kAskMs = 30000;

// A copy of the Winsock client in a folder of its own, far from the
// program folder and from the tests' folder.
std::string ClientOutsideTheProgramFolder()
{
    CreateDirectoryA("C:\\Tools", NULL);
    CreateDirectoryA("C:\\Tools\\Alpha", NULL);
    const std::string client = "C:\\Tools\\Alpha\\wsclient.exe";
    EXPECT_TRUE(CopyFileA((BinFolder() + "wsclient.exe").c_str(), client.c_str(), FALSE));
    return client;
}

} // namespace

class InstalledConsole : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_console && IsWindow(m_main))
            PostMessageA(m_main, WM_CONSOLE_EXIT, 0, 0);
        if (m_console)
            m_console->WaitForExit(20000);
        m_console.reset(); // ended at the latest here
        if (m_provider)
            FreeLibrary(m_provider);
        UninstallConsole();
    }

    void StartConsole()
    {
        m_console.reset(new CConsoleProcess(g_folder, ""));
        ASSERT_TRUE(m_console->Started());
        m_main = m_console->WaitForMarkedWindow();
        ASSERT_NE(nullptr, m_main);
        // Until the console has sent its work mode the provider asks nothing.
        m_provider = LoadLibraryA(g_folder + "QFW.DLL");
        ASSERT_NE(nullptr, m_provider);
        const ProviderControlBlock &control = *ModuleSection<ProviderControlBlock>(m_provider, PROVIDER_CONTROL_SECTION);
        ASSERT_TRUE(PumpUntil([&] { return control.WorkMode == WORK_MODE_NORMAL; }, 10000));
    }

    std::unique_ptr<CConsoleProcess> m_console;
    HWND m_main = NULL;
    HMODULE m_provider = NULL;
};

TEST_F(InstalledConsole, AProgramInAnyFolderIsAskedAboutAndConnectsOnceAllowed)
{
    CListener listener;
    StartConsole();
    const std::string client = ClientOutsideTheProgramFolder();
    CClientRun run("send 127.0.0.1 " + std::to_string(listener.Port()) + " --line hello", client, "C:\\Tools");
    PumpUntil([&] { return !QueryPopupsOf(m_console->Id()).empty() || run.Ended(); }, kAskMs);
    const std::vector<HWND> popups = QueryPopupsOf(m_console->Id());
    ASSERT_FALSE(popups.empty()) << "no question; the client ended with " << run.Wait() << ": " << run.Output();
    ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
    SaveTestScreen(NULL, "asked");

    BringToFront(popups[0]);
    ClickControl(GetDlgItem(popups[0], IDC_QUERY_ALLOW));
    EXPECT_EQ(0, run.Wait()) << run.Output();
    EXPECT_EQ("hello\r\n", listener.Received());
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: installed_console_tests <installed program folder>\n");
        return 2;
    }
    g_folder = argv[1];
    if (g_folder.Right(1) != "\\")
        g_folder += "\\";
    return RUN_ALL_TESTS();
}
