#include "CrashGuard.h"

#include "Address32.h"
#include "CrashReporter.h"

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter;
bool g_filterInstalled;

} // namespace

LONG WINAPI CrashFilter(EXCEPTION_POINTERS *exception)
{
    // Values left by an earlier report would win over the new ones, since a
    // key that is present keeps its value.
    g_crashReporter.RemoveValue("pid");
    g_crashReporter.RemoveValue("tid");
    g_crashReporter.RemoveValue("excp");
    g_crashReporter.SetPid(GetCurrentProcessId());
    g_crashReporter.SetTid(GetCurrentThreadId());
    g_crashReporter.SetExcp(AddressToDword(exception));

    DWORD exitCode = CCrashReporter::RunTool(g_crashReporter, INFINITE);
    if (exitCode == CRASH_CONTINUE_SEARCH)
        return EXCEPTION_CONTINUE_SEARCH;
    if (exitCode == CRASH_TOOL_MISSING)
        MessageBoxA(GetActiveWindow(), "Unknown Error! FaultSnap not found!", "ERROR", MB_OK);
    return EXCEPTION_EXECUTE_HANDLER;
}

CCrashGuard::CCrashGuard(LPCSTR path)
{
    CCrashReporter::FindTool(path);
    InstallFilter();
}

CCrashGuard::~CCrashGuard()
{
    RestoreFilter();
}

void CCrashGuard::InstallFilter()
{
    if (g_filterInstalled)
        return;
    g_previousFilter = SetUnhandledExceptionFilter(CrashFilter);
    g_filterInstalled = true;
}

void CCrashGuard::RestoreFilter()
{
    if (!g_filterInstalled)
        return;
    SetUnhandledExceptionFilter(g_previousFilter);
    g_filterInstalled = false;
}
