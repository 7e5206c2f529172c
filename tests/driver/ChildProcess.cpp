#include "ChildProcess.h"
#include <windows.h>

namespace {

std::string CommandLine(const std::string &program, const std::string &arguments)
{
    char self[MAX_PATH] = {};
    if (program.empty())
        GetModuleFileNameA(nullptr, self, sizeof self - 1);
    return "\"" + (program.empty() ? std::string(self) : program) + "\" " + arguments;
}

// Reads the pipe until the child closes its end.
void ReadAll(HANDLE pipe, std::string &output)
{
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
}

} // namespace

int RunChild(const std::string &program, const std::string &arguments, std::string *output)
{
    std::string command = CommandLine(program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (output) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
            return -1;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, output != nullptr, 0,
                                  nullptr, nullptr, &startup, &process);
    if (writeEnd)
        CloseHandle(writeEnd);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (started) {
        if (output)
            ReadAll(readEnd, *output);
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (readEnd)
        CloseHandle(readEnd);
    return static_cast<int>(exitCode);
}
