#include "ProcessEnd.h"

#include <tlhelp32.h>

#include "LoggedOn.h"
#include "PathText.h"

namespace {

// The executable's file name of a running process, "" when it does not run.
CString RunningProgramName(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return CString();
    CString name;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) {
            name = GetFileNameFromPath(entry.szExeFile, true);
            break;
        }
    }
    CloseHandle(snapshot);
    return name;
}

} // namespace

BOOL EndProgramProcess(DWORD processId, LPCTSTR programPath)
{
    if (processId == 0 || processId == GetCurrentProcessId())
        return FALSE;
    const CString running = RunningProgramName(processId);
    const CString expected = GetFileNameFromPath(programPath, true);
    if (running.IsEmpty() || expected.IsEmpty() || lstrcmpiA(running, expected) != 0)
        return FALSE;
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return FALSE;
    const BOOL ended = TerminateProcess(process, 1);
    CloseHandle(process);
    return ended;
}

BOOL ConfirmAndEndProcess(CWnd *page, const CLanguageText &texts, DWORD processId, LPCTSTR programPath)
{
    if (processId == GetCurrentProcessId())
        return FALSE;
    const CString caption = texts.GetAppName();
    if (!LoggedOn) {
        page->MessageBox(texts.GetText("LOG_DONT", "APP"), caption, MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (page->MessageBox(texts.GetText("WARN_KillProcess"), caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return FALSE;
    return EndProgramProcess(processId, programPath);
}
