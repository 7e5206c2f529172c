#include "ProcessAlive.h"

#include <tlhelp32.h>

#include <algorithm>

CRunningProcesses::CRunningProcesses() : m_listed(false)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        m_ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    std::sort(m_ids.begin(), m_ids.end());
    m_listed = true;
}

bool CRunningProcesses::Contains(DWORD processId) const
{
    return !m_listed || std::binary_search(m_ids.begin(), m_ids.end(), processId);
}

bool IsProcessAlive(DWORD processId)
{
    return CRunningProcesses().Contains(processId);
}
