#include "ConsoleWatch.h"

CConsoleWatch::CConsoleWatch(const ProviderControlBlock &control)
    : m_control(control), m_processId(control.ConsoleProcessId), m_process(nullptr), m_endedBefore(false)
{
    if (m_processId == 0)
        return;
    m_process = OpenProcess(SYNCHRONIZE, FALSE, m_processId);
    // No such process: the console ended before the wait. Any other failure
    // (another account's console) leaves only its unregistering to watch.
    m_endedBefore = !m_process && GetLastError() == ERROR_INVALID_PARAMETER;
}

CConsoleWatch::~CConsoleWatch()
{
    if (m_process)
        CloseHandle(m_process);
}

bool CConsoleWatch::Gone() const
{
    if (m_processId == 0)
        return false;
    if (m_endedBefore || m_control.ConsoleProcessId != m_processId)
        return true;
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
}
