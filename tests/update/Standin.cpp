#include "Standin.h"
#include "PathText.h"
#include "UpdateMarkers.h"
#include "UpdateTestFolder.h"

#include <tlhelp32.h>

#include <cctype>
#include <map>
#include <sstream>

ProgramCopy::ProgramCopy(const std::string &folder, const std::string &name, const char *source)
    : m_path(folder + name)
{
    if (source)
        CopyFileA(GetModuleDir(nullptr, false) + source, m_path.c_str(), FALSE);
}

ProgramCopy::~ProgramCopy()
{
    if (m_process.hProcess) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool ProgramCopy::Launch()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + m_path + "\"";
    return CreateProcessA(m_path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &m_process) != FALSE;
}

HWND ProgramCopy::WindowWithProperty(const char *property) const
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window;
         window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == m_process.dwProcessId && GetPropA(window, property))
            return window;
    }
    return nullptr;
}

bool ProgramCopy::Start(const char *property)
{
    if (!Launch())
        return false;
    return WaitForWindowWithProperty(property ? property : CONSOLE_INSTANCE_MARKER, 10000,
                                     m_process.dwProcessId);
}

bool ProgramCopy::Running() const { return WaitForExit(0) == STILL_ACTIVE; }

DWORD ProgramCopy::WaitForExit(DWORD milliseconds) const
{
    if (!m_process.hProcess)
        return 0;
    WaitForSingleObject(m_process.hProcess, milliseconds);
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

std::string StandinLog(const std::string &folder)
{
    std::istringstream lines(UpdateTestFolder::Read(folder + "standin.log"));
    std::map<std::string, char> letters;
    std::string text, line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t blank = line.rfind(' ');
        if (blank == std::string::npos)
            continue;
        std::string id = line.substr(blank + 1);
        if (!letters.count(id))
            letters[id] = static_cast<char>('A' + letters.size());
        text += (text.empty() ? "" : ", ") + line.substr(0, blank) + " " + letters[id];
    }
    return text;
}

::testing::AssertionResult StandinLogReads(const std::string &folder, const std::string &expected,
                                           DWORD milliseconds)
{
    DWORD start = GetTickCount();
    std::string log = StandinLog(folder);
    while (log != expected && GetTickCount() - start < milliseconds) {
        Sleep(50);
        log = StandinLog(folder);
    }
    if (log == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "standin.log reads \"" << log << "\", not \"" << expected << "\"";
}

void EndProcessesNamed(const char *text)
{
    for (int round = 0; round < 5; ++round) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return;
        bool found = false;
        PROCESSENTRY32 entry;
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more;
             more = Process32Next(snapshot, &entry)) {
            std::string name = entry.szExeFile;
            for (char &c : name)
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            if (entry.th32ProcessID == GetCurrentProcessId() || name.find(text) == std::string::npos)
                continue;
            found = true;
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                             entry.th32ProcessID)) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
        CloseHandle(snapshot);
        if (!found)
            return;
    }
}

bool WaitForWindowWithProperty(const char *property, DWORD milliseconds, DWORD processId)
{
    DWORD start = GetTickCount();
    do {
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window;
             window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (GetPropA(window, property) && (!processId || owner == processId))
                return true;
        }
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return false;
}
