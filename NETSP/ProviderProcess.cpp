#include "ProviderProcess.h"

#include "AclMemory.h"
#include "DriverInterface.h"
#include "ProcessTable.h"
#include "ProviderControlBlock.h"
#include "SocketFilter.h"

namespace {

CRITICAL_SECTION g_startupLock;
char g_programPath[MAX_PATH];
DWORD g_processId;

} // namespace

void ReadProgramPath(char (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    path[length < sizeof path ? length : sizeof path - 1] = '\0';
}

const char *ProcessProgramPath()
{
    return g_programPath;
}

DWORD ProcessId()
{
    return g_processId;
}

CStartupLock::CStartupLock()
{
    EnterCriticalSection(&g_startupLock);
}

CStartupLock::~CStartupLock()
{
    LeaveCriticalSection(&g_startupLock);
}

void AttachProcess()
{
    OpenDriver();
    InitializeCriticalSection(&g_startupLock);
    ReadProgramPath(g_programPath);
    g_processId = GetCurrentProcessId();
    CStartupLock hold;
    // Other processes attach at the same time under their own locks.
    InterlockedIncrement(&ControlBlock().AttachCount);
    AddProcessEntry();
}

// The socket filter's destructor, which runs after this as the library
// unloads, closes the process's records.
void DetachProcess()
{
    if (IsConsoleProcess())
        SocketFilter().SetWorkMode(WORK_MODE_OFF);
    CStartupLock hold;
    InterlockedDecrement(&ControlBlock().AttachCount);
    RemoveProcessEntry(g_processId);
}
