// The real console, QFW.exe, started in a fresh program folder after its
// own -fzinstall over a catalog of the system before installation: what
// the provider shared by every process then knows, a second start, the
// exits, and each start-up failure with its box answered from here.
#include <CatalogFixture.h>
#include <ConsoleInstance.h>
#include <ConsoleMessages.h>
#include <DataBase.h>
#include <Installer.h>
#include <LanguageText.h>
#include <ProgramFolderFixture.h>
#include <ProviderControlBlock.h>
#include <ProviderKey.h>

#include "ConsoleProcess.h"

#include <DialogDriver.h>
#include <TestScreens.h>

#include "../provider/ProviderTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kRuleFileFailed[] = "\xb4\xf2\xbf\xaa\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const char kLogFileFailed[] = "\xb4\xf2\xbf\xaa\xc8\xd5\xd6\xbe\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const DWORD kWaitMs = 30000;

class ConsoleProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
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

    // Nothing of a console is left: process, marker, mutex, registration.
    void ExpectNothingLeft()
    {
        EXPECT_EQ(FindMarkedConsoleWindow(), static_cast<HWND>(NULL));
        EXPECT_FALSE(ConsoleMutexExists());
        EXPECT_EQ(Control().ConsoleProcessId, 0u);
        EXPECT_EQ(Control().WorkMode, 0);
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
        ASSERT_NE(main, static_cast<HWND>(NULL)) << "start " << start;
        EXPECT_EQ(Control().ConsoleProcessId, console.Id());
        EXPECT_STRCASEEQ(ConsolePath().c_str(), m_folder.File("QFW.exe"));
        // The main window sends the stored mode as its set-up ends.
        const DWORD shown = GetTickCount();
        while (Control().WorkMode != 1 && GetTickCount() - shown < 5000)
            Sleep(20);
        EXPECT_EQ(Control().WorkMode, 1) << "the stored work mode";
        EXPECT_TRUE(ConsoleMutexExists());
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
    const DWORD start = GetTickCount();
    while (!IsWindowVisible(main) && GetTickCount() - start < 5000)
        Sleep(50);
    EXPECT_TRUE(IsWindowVisible(main));

    SendMessageA(main, WM_CONSOLE_EXIT, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

TEST_F(ConsoleProcess, WithoutTheDriverTheBoxSaysSoAndNothingIsLeft)
{
    ASSERT_TRUE(CInstaller().UninstallDriverService());
    CConsoleProcess console(m_folder.Path(), "");
    const BoxRecord box = AnswerBox(console.Id(), "no-driver");
    CLanguageText texts;
    texts.SetSource(m_folder.LanguageFile(), "APP", "APP", "APP_NAME");
    EXPECT_EQ(box.text, std::string(texts.GetText("Error_OpenDriver")));
    EXPECT_EQ(box.caption, "QFW");
    EXPECT_NE(console.WaitForExit(), STILL_ACTIVE);
    ExpectNothingLeft();
}

TEST_F(ConsoleProcess, AConnectionLogHeldOpenIsReportedInTheBuiltInText)
{
    HANDLE held = CreateFileA(m_folder.File("ProgramLogs.dat"), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CConsoleProcess console(m_folder.Path(), "");
    const BoxRecord box = AnswerBox(console.Id(), "log-held");
    CloseHandle(held);
    EXPECT_EQ(box.text, std::string(kLogFileFailed));
    EXPECT_EQ(box.caption, "QFW");
    EXPECT_NE(console.WaitForExit(), STILL_ACTIVE);
    ExpectNothingLeft();
}

TEST_F(ConsoleProcess, WithoutTheProvidersPathItEndsSilently)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, PROVIDER_PATH_VALUE);
    RegCloseKey(key);
    CConsoleProcess console(m_folder.Path(), "");
    EXPECT_EQ(WaitForBoxOfProcess(console.Id(), 3000), static_cast<HWND>(NULL));
    EXPECT_NE(console.WaitForExit(), STILL_ACTIVE);
    ExpectNothingLeft();
}

TEST_F(ConsoleProcess, InstallingOnAnEmptyCatalogFailsYetSetsTheAutoStart)
{
    CCatalogFixture::Clear();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY);
    CInstaller().SetAutoStart(FALSE);
    CConsoleProcess install(m_folder.Path(), "-fzinstall");
    const BoxRecord box = AnswerBox(install.Id(), "install-failed");
    CLanguageText texts;
    texts.SetSource(m_folder.LanguageFile(), "APP", "APP", "APP_NAME");
    EXPECT_EQ(box.text, std::string(texts.GetText("Install_Failed")));
    EXPECT_EQ(box.caption, "QFW");
    EXPECT_EQ(install.WaitForExit(), 0u);
    char run[MAX_PATH] = "";
    EXPECT_TRUE(CInstaller::ReadRegValue(kRunValue, run, sizeof run, HKEY_LOCAL_MACHINE, kRunKey, REG_SZ));
}

} // namespace
