// Which processes the provider leaves alone: the registered console and a
// few system programs.
#include "AclMemory.h"
#include "PathEquals.h"
#include "ProviderProcess.h"
#include <OsVersion.h>
#include <cstring>

namespace {

const char *const kWin9xExempt[] = {
    "%windir%\\system\\icsmgr.exe",
    "%windir%\\system\\DLLHOST.EXE",
};

const char *const kNtExempt[] = {
    "%windir%\\system32\\services.exe",
    "%windir%\\system32\\svchost.exe",
    "%windir%\\system32\\dllhost.exe",
    "%windir%\\system32\\dllcache\\svchost.exe",
    "%windir%\\system32\\dllcache\\dllhost.exe",
};

// The registered console's process id, or its path byte for byte; an empty
// path names no program.
// On 64-bit Windows a 32-bit process runs the system's own 32-bit programs
// from the WoW64 system folder, which it knows by the system folder's name
// (file access there is redirected). Gives the path under that name, or as it
// is. Systems without the folder lack the function, so it is looked up.
void NameAsSystemFolder(const char *path, char *out)
{
    typedef UINT(WINAPI * Wow64DirectoryFunction)(LPSTR, UINT);
    lstrcpynA(out, path, MAX_PATH);
    Wow64DirectoryFunction wow64Directory = reinterpret_cast<Wow64DirectoryFunction>(
        reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA")));
    char wow64[MAX_PATH], system[MAX_PATH];
    UINT wow64Length = wow64Directory ? wow64Directory(wow64, MAX_PATH) : 0;
    UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
    if (wow64Length == 0 || wow64Length >= MAX_PATH || systemLength == 0 ||
        systemLength >= MAX_PATH)
        return;
    size_t length = strlen(path);
    if (length <= wow64Length || path[wow64Length] != '\\' ||
        systemLength + (length - wow64Length) >= MAX_PATH)
        return;
    char head[MAX_PATH];
    lstrcpynA(head, path, wow64Length + 1);
    if (PathEqualsNoCase(head, wow64))
        wsprintfA(out, "%s%s", system, path + wow64Length);
}

bool IsRegisteredConsole(const ProviderControlBlock &control, const char *consolePath,
                         const char *programPath)
{
    if (GetCurrentProcessId() == control.ConsoleProcessId)
        return true;
    return consolePath[0] && strncmp(programPath, consolePath, CONSOLE_PATH_SIZE) == 0;
}

} // namespace

int IsConsoleProcess()
{
    return IsRegisteredConsole(ControlBlock(), ConsolePath(), ProcessProgramPath());
}

void CAclMemory::DetectPlatform()
{
    m_win9x = IsWin9x();
    m_listedExempt = -1;
}

BOOL CAclMemory::IsConsoleProcess()
{
    return IsRegisteredConsole(*m_control, m_consolePath, m_programPath);
}

BOOL CAclMemory::IsExemptProcess()
{
    if (IsConsoleProcess())
        return TRUE;
    if (m_listedExempt < 0) {
        char path[MAX_PATH];
        if (m_win9x) {
            m_listedExempt = MatchExemptList(kWin9xExempt, m_programPath, ARRAYSIZE(kWin9xExempt));
        } else {
            NameAsSystemFolder(m_programPath, path);
            m_listedExempt = MatchExemptList(kNtExempt, path, ARRAYSIZE(kNtExempt));
        }
    }
    return m_listedExempt != 0;
}

BOOL CAclMemory::MatchExemptList(const char *const *list, const char *path, int count)
{
    for (int i = 0; i < count; ++i) {
        char expanded[MAX_PATH];
        DWORD length = ExpandEnvironmentStringsA(list[i], expanded, sizeof expanded);
        if (length == 0 || length > sizeof expanded)
            continue;
        if (PathEqualsNoCase(expanded, path))
            return TRUE;
    }
    return FALSE;
}
