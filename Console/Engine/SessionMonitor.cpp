#include "SessionMonitor.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Address32.h"
#include "CWinThread.h"
#include "DriverInterface.h"
#include "Installer.h"
#include "NullDacl.h"
#include "OsVersion.h"
#include "ProcessAlive.h"

namespace {

// Process-wide: the console has one poller.
struct MonitorState {
    SpiIoControlProc SpiIoControl;
    HWND ProgramPage;
    HWND MonitorPage;
    DriverQueueView Queue;
    DriverTableView Tables;
    DWORD SessionCount;     // records that the provider reports, at most the table's
    SessionRecord *Sessions; // the console's view of the table, kept to the end
    BOOL Attached;           // every source above is open
    BOOL Win9x;
    DWORD PassCounter;      // 1, 2, 3, 4, 1, ...
};

MonitorState g_state;

// Ring records as they were popped: the driver may reuse a slot as soon as
// the read index has passed it, and the pages read the record only later.
DriverQueueRecord g_ringCopy[DRIVER_RING_ENTRIES];

volatile LONG g_run;
volatile LONG g_alive;
CWinThread *g_thread;

// The pass on which the records of ended processes are closed.
const DWORD kProcessCheckPass = 3;

BOOL IsSet(volatile LONG &flag)
{
    return InterlockedCompareExchange(&flag, 0, 0) != 0;
}

void Post(HWND window, UINT message, WPARAM source, LPARAM index)
{
    if (window)
        PostMessageA(window, message, source, index);
}

DWORD ReadTable1Count()
{
    const DWORD address = g_state.Tables.Table1CountAddress;
    return address ? *DwordToAddress<volatile DWORD>(address) : 0;
}

} // namespace

BOOL CSessionMonitor::Attach(SpiIoControlProc spiIoControl, HWND programPage, HWND monitorPage)
{
    if (g_thread)
        return FALSE;
    SessionRecord *sessions = g_state.Sessions;
    g_state = MonitorState();
    g_state.Sessions = sessions;
    g_state.SpiIoControl = spiIoControl;
    g_state.ProgramPage = programPage;
    g_state.MonitorPage = monitorPage;
    g_state.Win9x = IsWin9x();
    if (!spiIoControl)
        return FALSE;
    if (!DriverGetQueueView(&g_state.Queue) || !g_state.Queue.RingAddress)
        return FALSE;
    if (!DriverGetTableView(&g_state.Tables) || !g_state.Tables.Table1Address ||
        !g_state.Tables.Table2Address)
        return FALSE;
    if (!DriverStartEvents())
        return FALSE;

    SpiIoBlock block = {};
    if (spiIoControl(SPI_GET_SESSION_COUNT, &block) != 0)
        return FALSE;
    // The view covers the table's records and no more, whatever is reported.
    const DWORD tableRecords = SESSION_RECORD_COUNT;
    g_state.SessionCount = block.Param1 < tableRecords ? block.Param1 : tableRecords;

    block = SpiIoBlock();
    if (spiIoControl(SPI_GET_SESSION_HANDLE, &block) != 0 || block.Param1 == 0)
        return FALSE;
    g_state.Attached = MapSessionTable();
    return g_state.Attached;
}

// The console only opens the table that the provider made; one that it had
// to make itself would never be filled, and is not kept.
BOOL CSessionMonitor::MapSessionTable()
{
    if (g_state.Sessions)
        return TRUE;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, GetNullDaclAttributes(),
                                        PAGE_READWRITE, 0, SESSION_TABLE_SIZE, SESSION_TABLE_NAME);
    if (!mapping)
        return FALSE;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        CloseHandle(mapping);
        return FALSE;
    }
    g_state.Sessions = static_cast<SessionRecord *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    return g_state.Sessions != NULL;
}

BOOL CSessionMonitor::Start(SpiIoControlProc spiIoControl, HWND programPage, HWND monitorPage)
{
    if (g_thread)
        return TRUE;
    if (!Attach(spiIoControl, programPage, monitorPage))
        return FALSE;
    CWinThread *thread = AfxBeginThread(ThreadProc, NULL, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        InterlockedExchange(&g_run, 0);
        return FALSE;
    }
    // Kept, so that Stop can wait on the thread's handle.
    thread->m_bAutoDelete = FALSE;
    g_thread = thread;
    InterlockedExchange(&g_run, 1);
    thread->ResumeThread();
    return TRUE;
}

// Waits on the thread itself rather than on its alive flag: a thread that
// has not begun yet must not outlive the provider library it calls.
BOOL CSessionMonitor::Stop()
{
    InterlockedExchange(&g_run, 0);
    if (g_thread) {
        WaitForSingleObject(g_thread->m_hThread, INFINITE);
        delete g_thread;
        g_thread = NULL;
    }
    return TRUE;
}

BOOL CSessionMonitor::IsAlive()
{
    return IsSet(g_alive);
}

UINT __cdecl CSessionMonitor::ThreadProc(LPVOID)
{
    InterlockedExchange(&g_alive, 1);
    while (IsSet(g_run)) {
        RunPass();
        for (int step = 0; step < 10 && IsSet(g_run); ++step)
            Sleep(100);
    }
    InterlockedExchange(&g_alive, 0);
    return 0;
}

void CSessionMonitor::RunPass()
{
    if (!g_state.Attached)
        return;
    CInstaller().RecheckProvider();
    if (!g_state.Win9x)
        DriverTick();
    g_state.PassCounter = g_state.PassCounter >= 4 ? 1 : g_state.PassCounter + 1;
    if (g_state.PassCounter == kProcessCheckPass)
        CloseRecordsOfEndedProcesses();
    const DWORD table1Count = ReadTable1Count();
    for (DWORD index = 0; index < g_state.SessionCount; ++index)
        PollIndex(index, table1Count);
}

// One look at the process list serves every record: a look per record made
// the check pass of a busy table last seconds, while the closed records
// waited to be logged and new connections found the table full. The list
// is taken after the records' owners were read, so that a process that
// began meanwhile is in it.
void CSessionMonitor::CloseRecordsOfEndedProcesses()
{
    std::vector<DWORD> owners;
    for (DWORD index = 0; index < g_state.SessionCount; ++index) {
        const SessionRecord &record = g_state.Sessions[index];
        if (record.Socket != 0)
            owners.push_back(record.ProcessId);
    }
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
    if (owners.empty())
        return;
    const CRunningProcesses running;
    for (DWORD processId : owners) {
        if (running.Contains(processId))
            continue;
        SpiIoBlock block = {0, processId, 0, 0};
        g_state.SpiIoControl(SPI_CLOSE_PROCESS_SESSIONS, &block);
    }
}

// The ring gives at most one record for each record index, so that a full
// ring cannot hold the table up.
void CSessionMonitor::PollIndex(DWORD index, DWORD table1Count)
{
    PollSession(index);
    if (index < DRIVER_TABLE2_POLLED && GetTable2Entry(index)->Handle != 0)
        Post(g_state.MonitorPage, WM_SESSION_UPDATE, SESSION_SOURCE_TABLE2, index);
    if (index < table1Count)
        Post(g_state.MonitorPage, WM_SESSION_UPDATE, SESSION_SOURCE_TABLE1, index);
    PollRing();
}

void CSessionMonitor::PollSession(DWORD index)
{
    const SessionRecord &record = g_state.Sessions[index];
    if (record.Socket == 0)
        return;
    if (record.State >= SESSION_ASKING)
        Post(g_state.ProgramPage, WM_SESSION_QUERY, SESSION_SOURCE_TABLE, index);
    Post(g_state.MonitorPage, WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, index);
}

void CSessionMonitor::PollRing()
{
    const int index = PopQueue();
    if (index < 0)
        return;
    if (g_ringCopy[index].Kind == DRIVER_QUEUE_QUESTION)
        Post(g_state.ProgramPage, WM_SESSION_QUERY, SESSION_SOURCE_RING, index);
    Post(g_state.MonitorPage, WM_SESSION_UPDATE, SESSION_SOURCE_RING, index);
}

// An index outside the ring can only come from a faulty driver; such a ring
// is treated as empty rather than read or written out of bounds.
int CSessionMonitor::PopQueue()
{
    const DriverQueueView &queue = g_state.Queue;
    if (!queue.RingAddress || !queue.ReadIndexAddress || !queue.WriteIndexAddress)
        return -1;
    volatile DWORD *readIndex = DwordToAddress<volatile DWORD>(queue.ReadIndexAddress);
    const DWORD read = *readIndex;
    const DWORD write = *DwordToAddress<volatile DWORD>(queue.WriteIndexAddress);
    if (read >= DRIVER_RING_ENTRIES || write >= DRIVER_RING_ENTRIES || read == write)
        return -1;
    MemoryBarrier();
    memcpy(&g_ringCopy[read], DwordToAddress<DriverQueueRecord>(queue.RingAddress) + read,
           sizeof(DriverQueueRecord));
    MemoryBarrier();
    *readIndex = read + 1 == DRIVER_RING_ENTRIES ? 0 : read + 1;
    return static_cast<int>(read);
}

SessionRecord *CSessionMonitor::GetSessionTable()
{
    return g_state.Sessions;
}

DWORD CSessionMonitor::GetSessionCount()
{
    return g_state.Attached ? g_state.SessionCount : 0;
}

const DriverQueueRecord *CSessionMonitor::GetQueueRecord(int index)
{
    if (index < 0 || index >= static_cast<int>(DRIVER_RING_ENTRIES))
        return NULL;
    return &g_ringCopy[index];
}

DriverTableRecord *CSessionMonitor::GetTable1Entry(DWORD index)
{
    if (!g_state.Tables.Table1Address)
        return NULL;
    return DwordToAddress<DriverTableRecord>(g_state.Tables.Table1Address) + index;
}

DWORD CSessionMonitor::GetTable1Count()
{
    return ReadTable1Count();
}

DriverTableRecord *CSessionMonitor::GetTable2Entry(DWORD index)
{
    if (!g_state.Tables.Table2Address || index >= DRIVER_TABLE2_POLLED)
        return NULL;
    return DwordToAddress<DriverTableRecord>(g_state.Tables.Table2Address) + index;
}
