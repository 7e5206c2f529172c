#include "ProcessTable.h"

#include <cstring>

namespace {

ProcessEntry g_processTable[PROCESS_TABLE_SIZE];

} // namespace

int AddProcessEntry()
{
    DWORD processId = GetCurrentProcessId();
    int found = FindProcessEntry(processId);
    if (found >= 0)
        return found;
    int free = FindProcessEntry(0);
    if (free < 0)
        return -1;
    ProcessEntry &entry = g_processTable[free];
    memset(&entry, 0, sizeof entry);
    InitializeCriticalSection(&entry.DecisionLock);
    entry.ProcessId = processId;
    return free;
}

int FindProcessEntry(DWORD processId)
{
    for (int i = 0; i < PROCESS_TABLE_SIZE; ++i) {
        if (g_processTable[i].ProcessId == processId)
            return i;
    }
    return -1;
}

// The lock is not deleted: a thread of the process may still be leaving it
// while the provider unloads.
int RemoveProcessEntry(DWORD processId)
{
    int index = FindProcessEntry(processId);
    if (index < 0 || processId == 0)
        return -1;
    memset(&g_processTable[index], 0, sizeof g_processTable[index]);
    return 0;
}

ProcessEntry *GetCurrentProcessEntry()
{
    int index = FindProcessEntry(GetCurrentProcessId());
    return index < 0 ? nullptr : &g_processTable[index];
}
