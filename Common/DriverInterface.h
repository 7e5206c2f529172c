// Access to the Netvane packet-filter device: the device handle, the block
// that holds the rule image, the announced ports, the event ring and the
// connection tables. Each process that links these functions keeps its own
// device handle and caches; they are filled without locking.
//
// Every function first takes the device handle from OpenDriver and, when
// there is none, does nothing and returns 0.
#pragma once

#include <windows.h>
#include "DriverRecords.h"
#include "NetvaneIoctl.h"

// The cached device handle, opened on first use; 0 when there is no device
// (the next call tries again).
HANDLE OpenDriver();

// Closes the device handle and forgets everything cached with it.
void CloseDriver();

BOOL DriverAddPort(WORD port);
BOOL DriverRemovePort(WORD port);
BOOL DriverStartEvents();
BOOL DriverSetAclReady(DWORD ready);
BOOL DriverGetQueueView(DriverQueueView *view);
BOOL DriverGetTableView(DriverTableView *view);
BOOL DriverTick();

// Address of the driver's host-name list, asked for once: a chain of entries
// { u32 next entry, u32 IPv4 address, NUL-terminated name }.
DWORD DriverGetNameList();

// The driver writes at most 4 bytes of a name; out always ends in a NUL
// within its outSize bytes.
BOOL DriverLookupName(DWORD address, char *out, DWORD outSize);

BOOL DriverSendBuffer(const void *buffer, DWORD length);
DWORD DriverReadBuffer(void *buffer, DWORD length);
DWORD DriverQueryString(const char *text);

// Shaped like CreateFileMappingA; only the low size is used. The handle it
// returns is the device handle itself, and the thread's last error is
// ERROR_ALREADY_EXISTS whenever a handle is returned.
HANDLE CreateDriverBlock(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protection,
                         DWORD sizeHigh, DWORD sizeLow, LPCSTR name);

// Shaped like MapViewOfFile plus the driver's flag (1 the console, 0 a
// provider); only the handle and the flag are used. The address is kept
// once the driver has given one.
LPVOID MapDriverBlock(HANDLE block, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                      SIZE_T bytes, DWORD flag);

// Closes a handle from CreateDriverBlock. It is the device handle, so the
// caches go with it.
void CloseDriverBlock(HANDLE block);

// Sends a code with a u32 input and keeps the result. While the kept result
// is a success, IOCTL_NETVANE_FREE_BLOCK is answered from it without a call.
BOOL DriverIoctlDword(HANDLE handle, DWORD code, DWORD value);
