// The console's poller: once a second it looks at the connection table that
// the provider instances share and at the driver's event ring and connection
// tables, and posts what it finds to the program page (questions waiting for
// an answer) and the traffic monitor page (connections and packet events).
// Each pass also re-applies the provider to Winsock catalog entries that
// were set back, keeps the driver ticking on the NT family, and on every
// fourth pass has the provider close the records of processes that ended.
//
// Nothing crosses a process boundary but shared memory: everything is found
// by polling. The pages resolve the posted indexes through the accessors
// below when they handle the message.
#pragma once

#include <windows.h>

#include "ConsoleMessages.h"
#include "DriverRecords.h"
#include "SessionRecord.h"
#include "SpiIoBlock.h"

class CSessionMonitor {
public:
    // Opens what the poller reads: the driver's ring and tables (and starts
    // its events) and the connection table that the provider has created.
    // The pages are the windows that receive the messages. FALSE when any
    // of it is missing; what was opened is left for the process's end.
    static BOOL Attach(SpiIoControlProc spiIoControl, HWND programPage, HWND monitorPage);

    // Attach, then the thread. TRUE when the thread runs.
    static BOOL Start(SpiIoControlProc spiIoControl, HWND programPage, HWND monitorPage);

    // Ends the thread and returns once it has ended, whenever it is called;
    // always TRUE. The tables stay mapped.
    static BOOL Stop();

    // One pass of the thread, callable on its own once attached.
    static void RunPass();

    // The index of the next ring record, copied for the pages first, or -1
    // when the ring is empty.
    static int PopQueue();

    // True while the thread runs.
    static BOOL IsAlive();

    // For the pages: the connection table and its record count; a ring
    // record as it was popped (null for an index outside the ring); the
    // driver's table entries (null without a table view or past table 2's
    // polled part).
    static SessionRecord *GetSessionTable();
    static DWORD GetSessionCount();
    static const DriverQueueRecord *GetQueueRecord(int index);
    static DriverTableRecord *GetTable1Entry(DWORD index);
    // The number of table-1 entries in use as the driver gives it now (0
    // without a table view).
    static DWORD GetTable1Count();
    static DriverTableRecord *GetTable2Entry(DWORD index);

private:
    static UINT __cdecl ThreadProc(LPVOID);
    static BOOL MapSessionTable();
    static void CloseRecordsOfEndedProcesses();
    static void PollIndex(DWORD index, DWORD table1Count);
    static void PollSession(DWORD index);
    static void PollRing();
};
