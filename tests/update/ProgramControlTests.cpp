#include "ProgramControl.h"
#include "Standin.h"
#include "UpdateMarkers.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

namespace {

const UINT kConsoleExit = 2357;

TEST(IsProgramRunning, KnowsOnlyTheFolderProgramOfThatFileName)
{
    UpdateTestFolder folder("running"), elsewhere("elsewhere");
    folder.Write("sub\\standin.mode", "");
    std::string longName = "zz" + std::string(190, 'l') + "tail.exe";  // 200 characters
    ProgramCopy program(folder.Path(), "ZzUpdTest.exe"), longOne(folder.Path(), longName),
        below(folder.File("sub\\"), "zzbelow.exe"),
        unrelated(elsewhere.Path(), "zzunrelated.exe");
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(longOne.Start());
    ASSERT_TRUE(below.Start());
    ASSERT_TRUE(unrelated.Start());
    struct Row {
        const char *name;
        BOOL running;
    } rows[] = {
        {"zzupdtest.exe", TRUE},
        {"ZZUPDTEST.EXE", TRUE},   // file names have no letter case
        {"updtest", FALSE},        // a part of a name names nothing
        {"zz", FALSE},
        {"zzupdtest.exe2", FALSE},
        {"", FALSE},
        {longName.c_str(), TRUE},  // beyond 200 characters of a name
        {"zzbelow.exe", TRUE},     // a folder below the program folder
        {"zzunrelated.exe", FALSE}, // the same kind of name in another folder
        {"update_process_tests.exe", FALSE},  // never the caller itself
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.running, IsProgramRunning(folder.Path().c_str(), row.name)) << row.name;
}

TEST(EndProgram, EndsTheFolderProgramAndNoOther)
{
    UpdateTestFolder folder("kill"), elsewhere("other");
    folder.Write("standin.mode", "ignore");
    elsewhere.Write("standin.mode", "ignore");
    ProgramCopy program(folder.Path(), "zzkill.exe"), unrelated(elsewhere.Path(), "zzkill.exe"),
        longer(elsewhere.Path(), "zzkillmore.exe");
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(unrelated.Start());
    ASSERT_TRUE(longer.Start());
    EXPECT_TRUE(EndProgram(folder.Path().c_str(), "zzkill.exe"));
    EXPECT_EQ(1u, program.WaitForExit(5000));
    EXPECT_TRUE(EndProgram(folder.Path().c_str(), "zzkill.exe"));  // none left: nothing to do
    EXPECT_TRUE(EndProgram(folder.Path().c_str(), ""));            // names no program
    EXPECT_TRUE(EndProgram(folder.Path().c_str(), "zz"));
    EXPECT_TRUE(unrelated.Running());
    EXPECT_TRUE(longer.Running());
}

TEST(EndProgram, AProcessThatCannotBeOpenedIsNotReportedEnded)
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
    EXPECT_TRUE(IsProgramRunning(folder.Path().c_str(), "zzclosed.exe"));
    EXPECT_FALSE(EndProgram(folder.Path().c_str(), "zzclosed.exe"));
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
    // Only the folder's program of the file name is asked.
    EXPECT_FALSE(AskToQuit(folder.Path().c_str(), "zzother.exe", CONSOLE_INSTANCE_MARKER,
                           kConsoleExit));
    UpdateTestFolder elsewhere("ask-elsewhere");
    EXPECT_FALSE(AskToQuit(elsewhere.Path().c_str(), "zzask.exe", CONSOLE_INSTANCE_MARKER,
                           kConsoleExit));
    EXPECT_EQ("start A", StandinLog(folder.Path()));
    EXPECT_TRUE(AskToQuit(folder.Path().c_str(), "zzask.exe", CONSOLE_INSTANCE_MARKER,
                          kConsoleExit));
    EXPECT_EQ(0u, program.WaitForExit(10000));
    EXPECT_EQ("start A, exit-request A, quit A", StandinLog(folder.Path()));

    // The mutex it made to look is gone again: nothing holds the name now.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, CONSOLE_INSTANCE_MARKER);
    EXPECT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(mutex);
    EXPECT_FALSE(AskToQuit(folder.Path().c_str(), "zzask.exe", CONSOLE_INSTANCE_MARKER,
                           kConsoleExit));
}

TEST(AskToQuit, AMutexWithoutAWindowIsNoProgramToAsk)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "{zz-update-test-mutex}");
    UpdateTestFolder folder("mutex");
    EXPECT_FALSE(AskToQuit(folder.Path().c_str(), "zzmutex.exe", "{zz-update-test-mutex}",
                           kConsoleExit));
    CloseHandle(mutex);
}

TEST(AskToQuit, AProgramThatDoesNotAnswerIsWaitedForTenSecondsAtMost)
{
    UpdateTestFolder folder("hang");
    folder.Write("standin.mode", "hang ignore");
    ProgramCopy program(folder.Path(), "zzhang.exe");
    ASSERT_TRUE(program.Start());
    DWORD start = GetTickCount();
    EXPECT_TRUE(AskToQuit(folder.Path().c_str(), "zzhang.exe", CONSOLE_INSTANCE_MARKER,
                          kConsoleExit));
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
