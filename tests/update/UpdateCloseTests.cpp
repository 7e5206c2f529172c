#include "ConsoleMessages.h"
#include "UpdateRunFixture.h"

// Closing the dialog while a thread of the run works: no thread outlives
// the step machine, and an install once begun is finished first.
namespace {

class UpdateClose : public UpdateRunFixture
{
public:
    // Starts a run and pumps until the condition holds.
    void RunUntil(const std::function<bool()> &condition)
    {
        harness.reset(new StepsHarness(true));
        harness->Steps().Begin(program.Path().c_str());
        ASSERT_TRUE(harness->PumpUntil(condition, 60000));
    }
};

TEST_F(UpdateClose, MidDownloadTheRunEndsAtOnceWithNothingChanged)
{
    std::string bigCore = PatternBytes(2 * 1024 * 1024, 'B');
    server.files[0] = FileOf("core.dll", "2004-02-01 10:00", bigCore);
    Publish();
    http.Serve("/mirror/core.dll", bigCore, LoopbackHttpServer::SLOW);
    StartConsole();
    RunUntil([this] {
        return Events("name:").find("core.dll") != std::string::npos &&
               Events("total:").find("total:1") != std::string::npos;
    });
    DWORD start = GetTickCount();
    EXPECT_TRUE(harness->Close());
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(harness->Steps().DownloadRunning());
    harness->PumpUntil([] { return false; }, 500);
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_EQ(installed.Text(), UpdateTestFolder::Read(program.File("QfwUpdate.ini")));
    EXPECT_EQ("start A", StandinLog(program.Path()));
    EXPECT_TRUE(console->Running());
}

TEST_F(UpdateClose, MidInstallTheDialogClosesAfterTheInstallAndRestart)
{
    Publish();
    StartConsole();
    RunUntil([this] { return harness->Steps().Step() >= 20; });
    EXPECT_FALSE(harness->Close());
    EXPECT_TRUE(harness->RunToEnd(60000));
    EXPECT_TRUE(harness->Closed());
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
}

TEST_F(UpdateClose, WhileProgramsAreStoppedTheCloseWaitsAndStartsTheConsoleAgain)
{
    Publish();
    program.Write("standin.mode", "ignore");
    StartConsole();
    RunUntil([this] { return Events("text:STEP_STOP_EXX") != ""; });
    EXPECT_TRUE(harness->Close());
    EXPECT_EQ(1u, console->WaitForExit(0));  // ended by the worker the close waited for
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, start B"));
}

TEST_F(UpdateClose, AStrayStepMessageDuringADownloadSkipsNothing)
{
    std::string slowCore = PatternBytes(300 * 1024, 's');
    server.files[0] = FileOf("core.dll", "2004-02-01 10:00", slowCore);
    Publish();
    http.Serve("/mirror/core.dll", slowCore, LoopbackHttpServer::SLOW);
    ProgramCopy copy(program.Path(), "QFW.exe");
    RunUntil([this] { return Events("name:").find("core.dll") != std::string::npos; });
    // DM_SETDEFID has the number of WM_UPDATE_STEP.
    for (int i = 0; i < 3; ++i)
        PostMessageA(harness->Window(), WM_UPDATE_STEP, 0, 0);
    EXPECT_TRUE(harness->RunToEnd(60000));
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
    EXPECT_EQ(slowCore, UpdateTestFolder::Read(program.File("core.dll")));
}

} // namespace
