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
}

BOOL CAclMemory::IsConsoleProcess()
{
    return IsRegisteredConsole(*m_control, m_consolePath, m_programPath);
}

BOOL CAclMemory::IsExemptProcess()
{
    if (IsConsoleProcess())
        return TRUE;
    if (m_win9x)
        return MatchExemptList(kWin9xExempt, m_programPath, ARRAYSIZE(kWin9xExempt));
    return MatchExemptList(kNtExempt, m_programPath, ARRAYSIZE(kNtExempt));
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
