// The crash-report launcher: its command line, the tool's place, and the
// filter handing a crash to a tool. This program is its own fake tool: started
// with QFW_FAKE_TOOL_RECORD in its environment it writes its command line to
// that file and exits with the code in QFW_FAKE_TOOL_EXIT.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <functional>
#include <string>

#include "CrashGuard.h"
#include "CrashReporter.h"

namespace {

const char kCrashSwitch[] = "--crash";
const char kRecordVariable[] = "QFW_FAKE_TOOL_RECORD";
const char kExitVariable[] = "QFW_FAKE_TOOL_EXIT";

int RunAsFakeTool(const char *record)
{
    FILE *file = fopen(record, "wb");
    if (!file)
        return 2;
    const char *line = GetCommandLineA();
    fwrite(line, 1, strlen(line), file);
    fclose(file);
    const char *code = getenv(kExitVariable);
    return code ? atoi(code) : 0;
}

std::string OwnPath();

// Child mode: a program with a guard that crashes; the guard's tool is this
// program again, as the fake tool that answers 1.
int CrashWithGuard(const char *record)
{
    SetEnvironmentVariableA(kRecordVariable, record);
    SetEnvironmentVariableA(kExitVariable, "1");
    CCrashGuard guard(OwnPath().c_str());
    *static_cast<volatile int *>(nullptr) = 0;
    return 0;
}

std::string OwnPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string OwnFolder()
{
    std::string path = OwnPath();
    return path.substr(0, path.rfind('\\') + 1);
}

std::string ReadFile(const std::string &path)
{
    std::string text;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return "<missing>";
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    fclose(file);
    return text;
}

std::string Hex(unsigned long value)
{
    char text[16];
    sprintf(text, "0x%lx", value);
    return text;
}

struct CommandLineCase {
    const char *name;
    std::function<void(CCrashReporter &)> fill;
    const char *expected;
};

class CrashCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CrashCommandLine, IsBuiltFromTheSettingsInOrder)
{
    CCrashReporter reporter;
    GetParam().fill(reporter);
    EXPECT_EQ(GetParam().expected, reporter.BuildCommandLine());
}

const CommandLineCase kCommandLineCases[] = {
    {"Empty", [](CCrashReporter &) {}, ""},
    {"ValuesThenFilesWithoutBlank",
     [](CCrashReporter &r) {
         r.SetPid(0x1a4);
         r.SetTid(0x2c);
         r.AddFile("b.log");
         r.AddFile("a.log");
     },
     " /pid:\"0x1a4\" /tid:\"0x2c\"/files:\"a.log;b.log\""},
    {"KeysInByteOrder",
     [](CCrashReporter &r) {
         r.SetPid(1);
         r.SetIniFile("C:\\App\\crash.ini");
         r.SetExcp(0x12ff40);
         r.SetIgnoreFilesInConfig(true);
         r.SetDumpType(2);
     },
     " /DumpType:\"0x2\" /IgnoreFilesInConfig:\"0x1\" /excp:\"0x12ff40\" /inifile:\"C:\\App\\crash.ini\" /pid:\"0x1\""},
    {"HexIsLowerCaseWithoutLeadingZeros", [](CCrashReporter &r) { r.SetTid(0xABCDEF01); },
     " /tid:\"0xabcdef01\""},
    {"FilesAndRegistriesSettingsAreSkipped",
     [](CCrashReporter &r) {
         r.SetValue("files", "x");
         r.SetValue("registries", "y");
         r.SetValue("a", "1");
     },
     " /a:\"1\""},
    {"RegistriesAfterFilesAndEachNameOnce",
     [](CCrashReporter &r) {
         r.AddRegistry("HKLM\\B");
         r.AddRegistry("HKLM\\A");
         r.AddFile("z.log");
         r.AddFile("z.log");
     },
     "/files:\"z.log\"/registries:\"HKLM\\A;HKLM\\B\""},
    {"RemovedFilesAndRegistriesAreGone",
     [](CCrashReporter &r) {
         r.AddFile("a.log");
         r.AddFile("b.log");
         r.RemoveFile("a.log");
         r.AddRegistry("HKCU\\X");
         r.RemoveRegistry("HKCU\\X");
     },
     "/files:\"b.log\""},
    {"ZeroRemovesInsteadOfWritingZero",
     [](CCrashReporter &r) {
         r.SetPid(5);
         r.SetPid(0);
         r.SetDumpType(3);
         r.SetDumpType(0);
         r.SetIgnoreFilesInConfig(true);
         r.SetIgnoreFilesInConfig(false);
         r.SetIgnoreRegsInConfig(true);
         r.SetIgnoreRegsInConfig(false);
     },
     ""},
    {"PresentKeyKeepsItsFirstValue",
     [](CCrashReporter &r) {
         r.SetIniFile("first.ini");
         r.SetIniFile("second.ini");
     },
     " /inifile:\"first.ini\""},
    {"RemovedKeyLetsTheNextValueIn",
     [](CCrashReporter &r) {
         r.SetIniFile("first.ini");
         r.SetValue("inifile", nullptr);
         r.SetIniFile("second.ini");
     },
     " /inifile:\"second.ini\""},
    {"NullKeyDoesNothing", [](CCrashReporter &r) { r.SetValue(nullptr, "x"); }, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, CrashCommandLine, testing::ValuesIn(kCommandLineCases),
                         [](const testing::TestParamInfo<CommandLineCase> &info) { return info.param.name; });

TEST(CrashTool, IsFoundBesideTheProgramByDefault)
{
    std::string tool = OwnFolder() + "FaultSnap.exe";
    DeleteFileA(tool.c_str());
    EXPECT_FALSE(CCrashReporter::FindTool(nullptr));
    EXPECT_STREQ("", CCrashReporter::GetToolPath());

    ASSERT_TRUE(CopyFileA(OwnPath().c_str(), tool.c_str(), FALSE));
    EXPECT_TRUE(CCrashReporter::FindTool(nullptr));
    EXPECT_EQ(tool, CCrashReporter::GetToolPath());
    DeleteFileA(tool.c_str());
}

TEST(CrashTool, IsTakenFromAGivenPathOnlyWhenItExists)
{
    EXPECT_TRUE(CCrashReporter::FindTool(OwnPath().c_str()));
    EXPECT_EQ(OwnPath(), CCrashReporter::GetToolPath());

    EXPECT_FALSE(CCrashReporter::FindTool((OwnFolder() + "no-such-tool.exe").c_str()));
    EXPECT_STREQ("", CCrashReporter::GetToolPath());

    std::string tooLong = OwnFolder() + std::string(300, 'x') + ".exe";
    EXPECT_FALSE(CCrashReporter::FindTool(tooLong.c_str()));
    EXPECT_STREQ("", CCrashReporter::GetToolPath());
}

// Points the fake tool at a record file and an exit code for one test.
class FakeTool : public testing::Test
{
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        char name[64];
        sprintf(name, "qfw-crash-tool-%lu.txt", GetCurrentProcessId());
        m_record = std::string(dir) + name;
        DeleteFileA(m_record.c_str());
        SetEnvironmentVariableA(kRecordVariable, m_record.c_str());
        SetExitCode(0);
        ASSERT_TRUE(CCrashReporter::FindTool(OwnPath().c_str()));
    }

    void TearDown() override
    {
        SetEnvironmentVariableA(kRecordVariable, nullptr);
        SetEnvironmentVariableA(kExitVariable, nullptr);
        DeleteFileA(m_record.c_str());
        CCrashReporter::FindTool("");
    }

    void SetExitCode(int code)
    {
        SetEnvironmentVariableA(kExitVariable, std::to_string(code).c_str());
    }

    std::string Recorded() const { return ReadFile(m_record); }
    bool Started() const { return GetFileAttributesA(m_record.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string m_record;
};

TEST_F(FakeTool, GetsTheBuiltLineAndGivesItsExitCode)
{
    CCrashReporter reporter;
    reporter.SetPid(0x1a4);
    reporter.SetTid(0x2c);
    reporter.AddFile("a.log");
    SetExitCode(7);
    EXPECT_EQ(7u, CCrashReporter::RunTool(reporter, 60000));
    EXPECT_EQ(reporter.BuildCommandLine(), Recorded());
}

TEST_F(FakeTool, IsStartedWithAnEmptyLine)
{
    CCrashReporter reporter;
    ASSERT_EQ("", reporter.BuildCommandLine());
    SetExitCode(3);
    EXPECT_EQ(3u, CCrashReporter::RunTool(reporter, 60000));
    EXPECT_TRUE(Started());
}

TEST_F(FakeTool, MissingToolGivesItsCodeAndStartsNothing)
{
    CCrashReporter reporter;
    EXPECT_FALSE(CCrashReporter::FindTool((OwnFolder() + "no-such-tool.exe").c_str()));
    EXPECT_EQ(DWORD(CRASH_TOOL_MISSING), CCrashReporter::RunTool(reporter, 60000));
    EXPECT_FALSE(Started());
}

TEST_F(FakeTool, FilterReportsThisProcessThreadAndException)
{
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    EXCEPTION_POINTERS pointers = {&record, nullptr};
    // Left from an earlier report: the new values must replace them.
    g_crashReporter.SetValue("pid", "stale");
    g_crashReporter.SetValue("tid", "stale");

    SetExitCode(CRASH_CONTINUE_SEARCH);
    EXPECT_EQ(EXCEPTION_CONTINUE_SEARCH, CrashFilter(&pointers));
    EXPECT_EQ(" /excp:\"" + Hex(reinterpret_cast<UINT_PTR>(&pointers)) + "\" /pid:\"" + Hex(GetCurrentProcessId()) +
                  "\" /tid:\"" + Hex(GetCurrentThreadId()) + "\"",
              Recorded());

    SetExitCode(1);
    EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, CrashFilter(&pointers));
    g_crashReporter = CCrashReporter();
}

// Closes the filter's message box once it shows, keeping what it said.
struct BoxWatcher {
    std::string text;
    bool seen = false;

    static DWORD WINAPI Run(void *self)
    {
        BoxWatcher &watcher = *static_cast<BoxWatcher *>(self);
        for (int i = 0; i < 600 && !watcher.seen; ++i) {
            HWND box = FindWindowA("#32770", "ERROR");
            if (box) {
                char text[128] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                watcher.text = text;
                watcher.seen = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(100);
        }
        return 0;
    }
};

TEST_F(FakeTool, FilterWithoutToolSaysSoAndHandlesTheException)
{
    EXPECT_FALSE(CCrashReporter::FindTool((OwnFolder() + "no-such-tool.exe").c_str()));
    EXCEPTION_RECORD record = {};
    EXCEPTION_POINTERS pointers = {&record, nullptr};
    BoxWatcher watcher;
    HANDLE thread = CreateThread(nullptr, 0, BoxWatcher::Run, &watcher, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, CrashFilter(&pointers));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(watcher.seen);
    EXPECT_EQ("Unknown Error! FaultSnap not found!", watcher.text);
    g_crashReporter = CCrashReporter();
}

TEST_F(FakeTool, GuardHandsARealCrashToTheTool)
{
    std::string command = "\"" + OwnPath() + "\" " + kCrashSwitch + " \"" + m_record + "\"";
    SetEnvironmentVariableA(kRecordVariable, nullptr); // the crashing child is not the tool
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    EXPECT_EQ(DWORD(EXCEPTION_ACCESS_VIOLATION), exitCode);
    std::string line = Recorded();
    EXPECT_NE(std::string::npos, line.find(" /pid:\"" + Hex(process.dwProcessId) + "\"")) << line;
    EXPECT_NE(std::string::npos, line.find(" /tid:\"" + Hex(process.dwThreadId) + "\"")) << line;
    EXPECT_EQ(0u, line.find(" /excp:\"0x")) << line;
}

LONG WINAPI EarlierFilter(EXCEPTION_POINTERS *)
{
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(CrashGuard, InstallsOnceAndPutsTheEarlierFilterBack)
{
    LPTOP_LEVEL_EXCEPTION_FILTER original = SetUnhandledExceptionFilter(EarlierFilter);
    CCrashGuard::InstallFilter();
    CCrashGuard::InstallFilter();
    EXPECT_EQ(&CrashFilter, SetUnhandledExceptionFilter(CrashFilter));
    CCrashGuard::RestoreFilter();
    EXPECT_EQ(&EarlierFilter, SetUnhandledExceptionFilter(EarlierFilter));
    CCrashGuard::RestoreFilter(); // not installed: changes nothing
    EXPECT_EQ(&EarlierFilter, SetUnhandledExceptionFilter(EarlierFilter));

    {
        CCrashGuard guard(OwnPath().c_str());
        EXPECT_EQ(OwnPath(), CCrashReporter::GetToolPath());
        EXPECT_EQ(&CrashFilter, SetUnhandledExceptionFilter(CrashFilter));
    }
    EXPECT_EQ(&EarlierFilter, SetUnhandledExceptionFilter(original));
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *record = getenv(kRecordVariable))
        return RunAsFakeTool(record);
    if (argc == 3 && strcmp(argv[1], kCrashSwitch) == 0)
        return CrashWithGuard(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
