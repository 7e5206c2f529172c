// Ending a program's process from the traffic monitor: the question, the
// refusal while logged off, the check that the process ID still runs the
// node's program, and the console's own process that is never ended. The
// processes ended are copies of this program.
#include <ProcessEnd.h>

#include <FoundationUi.h>

#include <DialogDriver.h>
#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <RecordingParent.h>

#include <LoggedOn.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

const char kLingerSwitch[] = "--linger";

std::string ThisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

// A copy of this program that waits to be ended.
class CLingeringProcess {
public:
    CLingeringProcess()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + ThisProgram() + "\" " + kLingerSwitch;
        PROCESS_INFORMATION info = {};
        EXPECT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info));
        CloseHandle(info.hThread);
        m_process = info.hProcess;
        m_id = info.dwProcessId;
    }
    ~CLingeringProcess()
    {
        if (Running())
            TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 10000);
        CloseHandle(m_process);
    }
    DWORD Id() const { return m_id; }
    bool Running() const { return WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const
    {
        WaitForSingleObject(m_process, 10000);
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    HANDLE m_process = NULL;
    DWORD m_id = 0;
};

class ProcessEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        m_owner.reset(new CRecordingParent);
        m_page.Attach(m_owner->Handle());
        m_texts.SetSource(m_folder.LanguageFile(), "FRAME_MONITOR", "APP", "APP_NAME");
        LoggedOn = 1;
    }
    void TearDown() override
    {
        LoggedOn = 1;
        m_page.Detach();
        m_owner.reset();
        SetPumpFilter(NULL);
        AfxDeleteTempObjects();
    }

    CProgramFolderFixture m_folder;
    std::unique_ptr<CRecordingParent> m_owner;
    CWnd m_page;
    CLanguageText m_texts;
    CDialogDriver m_driver;
};

TEST_F(ProcessEndTest, YesEndsTheProgramWithExitCodeOne)
{
    CLingeringProcess program;
    m_driver.AnswerNextBox(IDYES);
    EXPECT_TRUE(ConfirmAndEndProcess(&m_page, m_texts, program.Id(), ThisProgram().c_str()));
    EXPECT_EQ(1u, program.ExitCode());
    ASSERT_EQ(1u, m_driver.Boxes().size());
    const BoxRecord &box = m_driver.Boxes()[0];
    EXPECT_EQ("End this program now?\r\nWork it has not saved will be lost.", box.text);
    EXPECT_EQ("Ferrowind", box.caption);
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION), box.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
}

TEST_F(ProcessEndTest, NoEndsNothing)
{
    CLingeringProcess program;
    m_driver.AnswerNextBox(IDNO);
    EXPECT_FALSE(ConfirmAndEndProcess(&m_page, m_texts, program.Id(), ThisProgram().c_str()));
    PumpFor(200);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(1u, m_driver.Boxes().size());
}

TEST_F(ProcessEndTest, LoggedOffShowsTheRefusalAndEndsNothing)
{
    CLingeringProcess program;
    LoggedOn = 0;
    m_driver.AnswerNextBox(IDOK);
    EXPECT_FALSE(ConfirmAndEndProcess(&m_page, m_texts, program.Id(), ThisProgram().c_str()));
    PumpFor(200);
    EXPECT_TRUE(program.Running());
    ASSERT_EQ(1u, m_driver.Boxes().size());
    EXPECT_EQ(std::string(m_texts.GetText("LOG_DONT", "APP")), m_driver.Boxes()[0].text);
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION), m_driver.Boxes()[0].icon);
    EXPECT_EQ(std::vector<int>{IDOK}, m_driver.Boxes()[0].buttons);
}

TEST_F(ProcessEndTest, TheConsoleItselfIsNeverEndedNorAsked)
{
    EXPECT_FALSE(ConfirmAndEndProcess(&m_page, m_texts, GetCurrentProcessId(), ThisProgram().c_str()));
    EXPECT_TRUE(m_driver.Boxes().empty());
    EXPECT_FALSE(EndProgramProcess(GetCurrentProcessId(), ThisProgram().c_str()));
}

TEST_F(ProcessEndTest, AnIdThatRunsAnotherProgramNowIsLeftAlone)
{
    CLingeringProcess program;
    m_driver.AnswerNextBox(IDYES);
    EXPECT_FALSE(ConfirmAndEndProcess(&m_page, m_texts, program.Id(), "C:\\Tools\\wsclient.exe"));
    PumpFor(200);
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(EndProgramProcess(program.Id(), ""));
    EXPECT_TRUE(program.Running());
}

TEST_F(ProcessEndTest, AProcessThatHasEndedIsNoError)
{
    DWORD ended = 0;
    {
        CLingeringProcess program;
        ended = program.Id();
    }
    EXPECT_FALSE(EndProgramProcess(ended, ThisProgram().c_str()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], kLingerSwitch) == 0) {
        Sleep(60000);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
