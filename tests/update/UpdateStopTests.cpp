#include "ProgramControl.h"
#include "UpdateRunFixture.h"

// Runs that wait out programs that do not quit, or a console that does not
// start: each takes ten seconds or more.
namespace {

using UpdateStop = UpdateRunFixture;

TEST_F(UpdateStop, AProgramIgnoringTheRequestIsEnded)
{
    Publish();
    program.Write("standin.mode", "ignore");
    StartConsole();
    Run(90000);
    EXPECT_EQ(1u, console->WaitForExit(5000));
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("text:STEP_RESTART_OK", Events("text:STEP_RESTART_OK"));
}

TEST_F(UpdateStop, TwoInstancesOfAProgramStopTheRun)
{
    Publish();
    program.Write("standin.mode", "ignore");
    program.Write("second\\standin.mode", "ignore");
    StartConsole();
    ProgramCopy second(program.File("second\\"), "QFW.exe");
    ASSERT_TRUE(second.Start());
    Run(90000);
    EXPECT_EQ("box:ERR_STOP_FAILED", Events("box:"));
    EXPECT_TRUE(harness->Closed());
    EXPECT_EQ(kOldFiles, ProgramFiles());
    // One copy was ended, the other still runs, so none is started again.
    EXPECT_NE(console->Running(), second.Running());
    // Only the first window with the property is asked.
    std::string logs = StandinLog(program.Path()) + ", " + StandinLog(program.File("second\\"));
    EXPECT_EQ(logs.find("exit-request"), logs.rfind("exit-request"));
    EXPECT_NE(std::string::npos, logs.find("exit-request"));
}

TEST_F(UpdateStop, WithoutAConsoleToStartTheRestartFails)
{
    Publish();
    Run(90000);
    EXPECT_EQ(kNewFiles, ProgramFiles());
    EXPECT_EQ("box:ERR_RESTART_FAILED", Events("box:"));
    EXPECT_TRUE(harness->Closed());
}

TEST_F(UpdateStop, AfterAFailedStopTheConsoleRunsAgain)
{
    // Another program that ignores the request runs twice: ending one
    // leaves the other.
    server.programs.push_back({"zzother.exe", "{zz-other-program}", "2357"});
    Publish();
    program.Write("o1\\standin.mode", "other ignore");
    program.Write("o2\\standin.mode", "other ignore");
    ProgramCopy other1(program.File("o1\\"), "zzother.exe"),
        other2(program.File("o2\\"), "zzother.exe");
    ASSERT_TRUE(other1.Start("{zz-other-program}"));
    ASSERT_TRUE(other2.Start("{zz-other-program}"));
    StartConsole();
    Run(90000);
    EXPECT_EQ("box:ERR_STOP_FAILED", Events("box:"));
    EXPECT_EQ(kOldFiles, ProgramFiles());
    EXPECT_TRUE(StandinLogReads(program.Path(), "start A, exit-request A, quit A, start B"));
    EXPECT_TRUE(IsProgramRunning(program.Path().c_str(), "qfw.exe"));
}

} // namespace
