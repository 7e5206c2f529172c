// Whether processes still exist.
#pragma once

#include <windows.h>

#include <vector>

// The processes that run, taken in one snapshot of the process list, for
// a caller that asks about many at once. When the list cannot be taken,
// every process counts as running: a process is never counted as ended
// without proof.
class CRunningProcesses
{
public:
    CRunningProcesses();
    bool Contains(DWORD processId) const;

private:
    bool m_listed;
    std::vector<DWORD> m_ids; // sorted
};

// True when a process with that ID exists, and also when the process list
// cannot be taken.
bool IsProcessAlive(DWORD processId);
