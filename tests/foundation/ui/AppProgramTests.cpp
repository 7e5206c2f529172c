// The application's life from WinMain to ExitInstance, in a tiny program
// started for each case: the events it logs and its exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
struct RunResult
{
    DWORD dwExitCode;
    std::string log;
};

std::string ProgramPath()
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(NULL, szPath, sizeof szPath);
    std::string path(szPath);
    return path.substr(0, path.rfind('\\') + 1) + "foundation_ui_app_program.exe";
}

// Runs the program with the command line; "%s" in it stands for its path.
RunResult RunProgram(const char *pszScenario, const std::string &commandLineFormat)
{
    char szTemp[MAX_PATH], szLog[MAX_PATH];
    ::GetTempPathA(sizeof szTemp, szTemp);
    ::GetTempFileNameA(szTemp, "app", 0, szLog);
    ::SetEnvironmentVariableA("QFW_APP_LOG", szLog);
    ::SetEnvironmentVariableA("QFW_APP_SCENARIO", pszScenario);

    const std::string program = ProgramPath();
    std::string commandLine = commandLineFormat;
    const size_t nAt = commandLine.find("%s");
    if (nAt != std::string::npos)
        commandLine.replace(nAt, 2, program);

    RunResult result = {~0u, ""};
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (::CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
    {
        if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(pi.hProcess, &result.dwExitCode);
        else
            ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    std::ifstream file(szLog);
    std::stringstream contents;
    contents << file.rdbuf();
    result.log = contents.str();
    file.close();
    ::DeleteFileA(szLog);
    return result;
}

struct LifeCase
{
    const char *pszScenario;
    const char *pszLog;
    DWORD dwExitCode;
};

class ApplicationLifeTest : public ::testing::TestWithParam<LifeCase>
{
};

TEST_P(ApplicationLifeTest, EventsAndExitCode)
{
    const RunResult result = RunProgram(GetParam().pszScenario, "\"%s\"");
    EXPECT_EQ(GetParam().pszLog, result.log);
    EXPECT_EQ(GetParam().dwExitCode, result.dwExitCode);
}

const LifeCase kLifeCases[] = {
    // Destroying the main window ends Run; ExitInstance runs once.
    {"main-destroyed", "init;destroywindow;ondestroy;exit main=null;", 0},
    // InitInstance FALSE: the overridden DestroyWindow, then ExitInstance.
    {"init-fails", "init;destroywindow;ondestroy;exit main=null;", 0},
    // The updater's shape: a modal main dialog, then FALSE. The dialog's end
    // ended its time as the main window.
    {"modal-main", "init;modal 1;exit main=null;", 0},
    // The main window destroyed from a message during a modal dialog ends
    // the loop and Run.
    {"destroyed-in-modal", "init;destroywindow;ondestroy;modal -1;exit main=null;", 0},
    // ExitInstance returns the WM_QUIT code.
    {"quit-code", "init;exit main=null;", 3},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, ApplicationLifeTest, ::testing::ValuesIn(kLifeCases),
                         [](const ::testing::TestParamInfo<LifeCase> &info) {
                             std::string name = info.param.pszScenario;
                             for (char &ch : name)
                                 ch = ch == '-' ? '_' : ch;
                             return name;
                         });

struct TextCase
{
    const char *pszScenario;
    const char *pszCommandLine;
    const char *pszLog;
};

class ApplicationTextTest : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(ApplicationTextTest, Logged)
{
    EXPECT_EQ(GetParam().pszLog, RunProgram(GetParam().pszScenario, GetParam().pszCommandLine).log);
}

const TextCase kTextCases[] = {
    // m_lpCmdLine: the text after the program name and its blanks, as is.
    {"cmdline", "prog -fzinstall", "init;[-fzinstall]exit main=null;"},
    {"cmdline", "prog -fzinstall ", "init;[-fzinstall ]exit main=null;"},
    {"cmdline", "\"C:\\a b\\prog.exe\" -x", "init;[-x]exit main=null;"},
    {"cmdline", "prog", "init;[]exit main=null;"},
    // The splash switch.
    {"splash", "prog", "init;splash=1;exit main=null;"},
    {"splash", "prog -fzinstall", "init;splash=1;exit main=null;"},
    {"splash", "prog /Embedding", "init;splash=0;exit main=null;"},
    {"splash", "prog -automation", "init;splash=0;exit main=null;"},
    // Captioned with the program's name, the exclamation icon by default.
    {"messagebox", "prog", "init;box [foundation_ui_app_program] exclamation owner=none;result=1;exit main=null;"},
};

INSTANTIATE_TEST_SUITE_P(CommandLines, ApplicationTextTest, ::testing::ValuesIn(kTextCases));
} // namespace
