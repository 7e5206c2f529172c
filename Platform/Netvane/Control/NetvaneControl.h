// The driver's side of the emulated Netvane device, for tests and for trying
// the system by hand (the NetvaneCtl tool): install the device, feed the
// event ring, the connection tables and the host names, make a code fail,
// and read the calls that each process made.
#pragma once

#include <windows.h>
#include "DriverRecords.h"
#include "NetvaneShared.h"

// The device exists while the driver's service key does.
BOOL NetvaneInstallService();
BOOL NetvaneRemoveService();

// Empties the ring, the tables, the names and the call log, clears the
// injected failures and the driver's flags, and forgets the block.
void NetvaneReset();

// Writes one record at the write index and advances it; FALSE when the ring
// is full (one entry stays free, so that full differs from empty).
BOOL NetvanePushRecord(const DriverQueueRecord &record);
void NetvaneSetRingIndexes(DWORD readIndex, DWORD writeIndex);

BOOL NetvaneSetTable1Entry(DWORD index, const DriverTableRecord &record);
BOOL NetvaneSetTable1Count(DWORD count);
BOOL NetvaneSetTable2Entry(DWORD index, const DriverTableRecord &record);
BOOL NetvaneGetTable2Entry(DWORD index, DriverTableRecord *record);

BOOL NetvaneAddName(DWORD address, const char *name);

// Makes every later call of a code (NETVANE_OPEN for the open) fail with
// the error; error 0 lets it work again.
BOOL NetvaneFailCode(DWORD code, DWORD error);

// What IOCTL_NETVANE_READ_BUFFER answers from now on.
BOOL NetvaneSetReadData(const void *bytes, DWORD size);

// The logged calls of one process (0: of all), oldest first; the result is
// the number copied.
DWORD NetvaneReadCalls(DWORD processId, NetvaneCall *calls, DWORD maxCalls);
DWORD NetvaneCountCalls(DWORD processId, DWORD code);

struct NetvaneStatus {
    DWORD AclReady;
    DWORD EventsStarted;
    DWORD Ticks;
    DWORD BlockLive;
    DWORD BlockSize;
    DWORD BlockGeneration;
    DWORD LastBlockControl;
    DWORD ReadIndex;
    DWORD WriteIndex;
    DWORD Table1Count;
    DWORD CallCount;
};

BOOL NetvaneGetStatus(NetvaneStatus *status);
