#include "ChildProcess.h"
#include <windows.h>

int RunChild(const std::string &program, const std::string &arguments)
{
    char self[MAX_PATH] = {};
    if (program.empty())
        GetModuleFileNameA(nullptr, self, sizeof self - 1);
    std::string command = "\"" + (program.empty() ? std::string(self) : program) + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
