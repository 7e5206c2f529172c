#include "ProgramControl.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstring>

namespace {

const DWORD kQuitAnswerWait = 10000;

// Each other process's id and lower-case executable name, until the visitor
// returns true; FALSE when no process list can be made.
template <class Visitor> BOOL ForEachProcess(Visitor visit)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self)
            continue;
        CString name(entry.szExeFile);
        name.MakeLower();
        if (visit(entry.th32ProcessID, name))
            break;
    }
    CloseHandle(snapshot);
    return TRUE;
}

bool Matches(const CString &name, LPCSTR text)
{
    return *text && std::strstr(name, text) != nullptr;
}

HWND FindWindowWithProperty(LPCSTR name)
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window && IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetPropA(window, name))
            return window;
    }
    return nullptr;
}

BOOL StartAndWait(const CString &program)
{
    ShellExecuteA(nullptr, "open", program, "", "", SW_SHOWNORMAL);
    Sleep(300);
    for (int i = 0; i < 50; ++i) {
        if (IsProcessRunning("qfw."))
            return TRUE;
        Sleep(100);
    }
    return FALSE;
}

} // namespace

BOOL IsProcessRunning(LPCSTR text)
{
    bool found = false;
    ForEachProcess([&](DWORD, const CString &name) { return found = Matches(name, text); });
    return found;
}

BOOL KillProcessByName(LPCSTR text)
{
    DWORD target = 0;
    if (!ForEachProcess([&](DWORD id, const CString &name) {
            if (Matches(name, text))
                target = id;
            return target != 0;
        }))
        return FALSE;
    if (!target)
        return TRUE;
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, target);
    if (!process)
        return FALSE;
    DWORD code = STILL_ACTIVE;
    for (int i = 0; i < 10 && code == STILL_ACTIVE; ++i) {
        TerminateProcess(process, 1);
        Sleep(1000);
        if (!GetExitCodeProcess(process, &code))
            code = STILL_ACTIVE;
    }
    CloseHandle(process);
    return code != STILL_ACTIVE;
}

BOOL AskToQuit(LPCSTR name, UINT message)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    BOOL asked = FALSE;
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND window = FindWindowWithProperty(name)) {
            if (IsIconic(window) || !IsWindowVisible(window))
                ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL, kQuitAnswerWait, &answer);
            asked = TRUE;
        }
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return asked;
}

BOOL RestartMainProgram(const CString &folder)
{
    CString program = folder + "QFW.exe";
    if (StartAndWait(program))
        return TRUE;
    return StartAndWait(program);
}
