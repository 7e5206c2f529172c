#include "ProgramControl.h"
#include "UpdateMarkers.h"

#include <shellapi.h>
#include <tlhelp32.h>

namespace {

const DWORD kQuitAnswerWait = 10000;

enum Place { OUTSIDE, INSIDE, UNKNOWN };

CString Lower(CString text)
{
    text.MakeLower();
    return text;
}

// Where the process's program file lies, seen from the folder.
Place PlaceOf(DWORD processId, const CString &folder)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return UNKNOWN;
    char path[MAX_PATH * 2] = {};
    DWORD length = sizeof path;
    BOOL read = QueryFullProcessImageNameA(process, 0, path, &length);
    CloseHandle(process);
    if (!read)
        return UNKNOWN;
    CString lowerFolder = Lower(folder);
    return Lower(CString(path)).Left(lowerFolder.GetLength()) == lowerFolder ? INSIDE : OUTSIDE;
}

// Each other process whose executable file name equals the name, with the
// place of its program file, until the visitor returns true; FALSE when no
// process list can be made.
template <class Visitor>
BOOL ForEachProgram(const CString &folder, LPCSTR fileName, Visitor visit)
{
    if (!*fileName)
        return TRUE;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId();
    CString wanted = Lower(fileName);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self || Lower(entry.szExeFile) != wanted)
            continue;
        Place place = PlaceOf(entry.th32ProcessID, folder);
        if (place != OUTSIDE && visit(entry.th32ProcessID, place))
            break;
    }
    CloseHandle(snapshot);
    return TRUE;
}

// The first top-level window with the property that the test accepts.
template <class Accept> HWND FindWindowWithProperty(LPCSTR name, Accept accept)
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window && IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetPropA(window, name) && accept(window))
            return window;
    }
    return nullptr;
}

// Whether the window belongs to a process that runs the folder's program.
bool IsWindowOfProgram(HWND window, const CString &folder, LPCSTR fileName)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    bool ours = false;
    ForEachProgram(folder, fileName,
                   [&](DWORD id, Place place) { return ours = id == owner && place == INSIDE; });
    return ours;
}

BOOL StartAndWait(const CString &program)
{
    ShellExecuteA(nullptr, "open", program, "", "", SW_SHOWNORMAL);
    Sleep(300);
    for (int i = 0; i < 50; ++i) {
        if (IsConsoleRunning())
            return TRUE;
        Sleep(100);
    }
    return FALSE;
}

} // namespace

BOOL IsProgramRunning(const CString &folder, LPCSTR fileName)
{
    bool found = false;
    ForEachProgram(folder, fileName, [&](DWORD, Place) { return found = true; });
    return found;
}

BOOL EndProgram(const CString &folder, LPCSTR fileName)
{
    DWORD target = 0;
    Place place = OUTSIDE;
    if (!ForEachProgram(folder, fileName, [&](DWORD id, Place found) {
            target = id;
            place = found;
            return true;
        }))
        return FALSE;
    if (!target)
        return TRUE;
    // A process that cannot be told from another program is never ended.
    if (place != INSIDE)
        return FALSE;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 target);
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

BOOL AskToQuit(const CString &folder, LPCSTR fileName, LPCSTR name, UINT message)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    BOOL asked = FALSE;
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND window = FindWindowWithProperty(
            name, [&](HWND found) { return IsWindowOfProgram(found, folder, fileName); });
        if (window) {
            // Shown without waiting for it: a program that hangs must not
            // hold the updater before the answer's time limit even starts.
            if (IsIconic(window) || !IsWindowVisible(window))
                ShowWindowAsync(window, SW_RESTORE);
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

BOOL IsConsoleRunning()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, CONSOLE_INSTANCE_MARKER);
    if (!mutex)
        return FALSE;
    CloseHandle(mutex);
    return FindWindowWithProperty(CONSOLE_INSTANCE_MARKER, [](HWND) { return true; }) != nullptr;
}

BOOL RestartMainProgram(const CString &folder)
{
    CString program = folder + "QFW.exe";
    if (StartAndWait(program))
        return TRUE;
    return StartAndWait(program);
}
