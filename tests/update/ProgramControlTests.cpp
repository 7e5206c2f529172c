#include "ProgramControl.h"
#include "Standin.h"
#include "UpdateMarkers.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

namespace {

const UINT kConsoleExit = 2357;

TEST(IsProcessRunning, MatchesTheWholeLowerCaseName)
{
    UpdateTestFolder folder("running");
    std::string longName = "zz" + std::string(190, 'l') + "tail.exe";  // 200 characters
    ProgramCopy program(folder.Path(), "ZzUpdTest.exe"), longOne(folder.Path(), longName);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(longOne.Start());
    struct Row {
        const char *text;
        BOOL running;
    } rows[] = {
        {"zzupdtest.exe", TRUE},
        {"updtest", TRUE},
        {"ZzUpdTest.exe", FALSE},  // the text itself is not lower-cased
        {"zzupdtest.exe2", FALSE},
        {"", FALSE},               // an empty text would match every process
        {"lllltail.exe", TRUE},    // beyond 200 characters of a name
        {"update_process_tests.exe", FALSE},  // never the caller itself
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.running, IsProcessRunning(row.text)) << row.text;
}

TEST(KillProcessByName, EndsTheFirstMatchingProcess)
{
    UpdateTestFolder folder("kill");
    folder.Write("standin.mode", "ignore");
    ProgramCopy program(folder.Path(), "zzkill.exe");
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(KillProcessByName("zzkill.exe"));
    EXPECT_EQ(1u, program.WaitForExit(5000));
    EXPECT_TRUE(KillProcessByName("zzkill.exe"));  // none left: nothing to do
    EXPECT_TRUE(KillProcessByName(""));            // matches no process at all
    EXPECT_TRUE(program.WaitForExit(0) == 1);
}

TEST(KillProcessByName, AProcessThatCannotBeOpenedIsNotReportedEnded)
{
    UpdateTestFolder folder("closed");
    ProgramCopy copy(folder.Path(), "zzclosed.exe");
    // An empty access list grants nobody anything, not even the owner.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + copy.Path() + "\"";
    ASSERT_TRUE(CreateProcessA(copy.Path().c_str(), &commandLine[0], &attributes, nullptr, FALSE,
                               0, nullptr, nullptr, &startup, &process));
    ASSERT_EQ(nullptr, OpenProcess(PROCESS_ALL_ACCESS, FALSE, process.dwProcessId))
        << "the fixture's process can be opened";
    EXPECT_FALSE(KillProcessByName("zzclosed.exe"));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process.hProcess, 0));
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

TEST(AskToQuit, SendsTheMessageToTheWindowWithTheProperty)
{
    UpdateTestFolder folder("ask");
    ProgramCopy program(folder.Path(), "zzask.exe");
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(AskToQuit(CONSOLE_INSTANCE_MARKER, kConsoleExit));
    EXPECT_EQ(0u, program.WaitForExit(10000));
    EXPECT_EQ("start A, exit-request A, quit A", StandinLog(folder.Path()));

    // The mutex it made to look is gone again: nothing holds the name now.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, CONSOLE_INSTANCE_MARKER);
    EXPECT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(mutex);
    EXPECT_FALSE(AskToQuit(CONSOLE_INSTANCE_MARKER, kConsoleExit));
}

TEST(AskToQuit, AMutexWithoutAWindowIsNoProgramToAsk)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "{zz-update-test-mutex}");
    EXPECT_FALSE(AskToQuit("{zz-update-test-mutex}", kConsoleExit));
    CloseHandle(mutex);
}

TEST(AskToQuit, AProgramThatDoesNotAnswerIsWaitedForTenSecondsAtMost)
{
    UpdateTestFolder folder("hang");
    folder.Write("standin.mode", "hang ignore");
    ProgramCopy program(folder.Path(), "zzhang.exe");
    ASSERT_TRUE(program.Start());
    DWORD start = GetTickCount();
    EXPECT_TRUE(AskToQuit(CONSOLE_INSTANCE_MARKER, kConsoleExit));
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 9500u);
    EXPECT_LT(waited, 15000u);
}

TEST(RestartMainProgram, StartsTheConsoleOfTheFolder)
{
    UpdateTestFolder folder("restart");
    ProgramCopy console(folder.Path(), "QFW.exe");
    EXPECT_TRUE(RestartMainProgram(folder.Path().c_str()));
    EXPECT_TRUE(WaitForWindowWithProperty(CONSOLE_INSTANCE_MARKER, 5000));
    EXPECT_EQ("start A", StandinLog(folder.Path()));
    EndProcessesNamed("qfw.exe");
}

TEST(RestartMainProgram, FailsWithoutAConsoleToStart)
{
    UpdateTestFolder folder("norestart");
    EXPECT_FALSE(RestartMainProgram(folder.Path().c_str()));
}

} // namespace
