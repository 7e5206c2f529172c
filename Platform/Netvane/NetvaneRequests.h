// What the emulated driver does for each control code.
#pragma once

#include "NetvaneHandle.h"
#include "NetvaneShared.h"

struct NetvaneRequest {
    NetvaneHandleState &Handle;
    NetvaneControlState &Control;
    const BYTE *Input;
    DWORD InputSize;
    BYTE *Output;
    DWORD OutputSize;
    DWORD Returned; // bytes written to Output
};

// Carries out one request under CNetvaneLock; the result is 0 or the Win32
// error of the failure, which leaves the driver's state as it was.
DWORD HandleNetvaneRequest(DWORD code, NetvaneRequest &request);

// Helpers for the handlers.
bool ReadInputDword(const NetvaneRequest &request, DWORD &value);
DWORD WriteOutput(NetvaneRequest &request, const void *bytes, DWORD size);

// The block requests (NetvaneBlocks.cpp).
DWORD CreateBlockRequest(NetvaneRequest &request);
DWORD MapBlockRequest(NetvaneRequest &request);
DWORD UnmapBlockRequest(NetvaneRequest &request);
DWORD FreeBlockRequest(NetvaneRequest &request);
// The block of the request's handle ends, in this process and, when it is
// the current one, for the driver: after a free, or the second block control.
DWORD EndBlock(NetvaneRequest &request);

// The host-name requests (NetvaneNameList.cpp).
DWORD GetNameListRequest(NetvaneRequest &request);
DWORD LookupNameRequest(NetvaneRequest &request);
