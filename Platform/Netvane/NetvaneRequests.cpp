#include "NetvaneRequests.h"
#include "Address32.h"
#include "NetvaneIoctl.h"
#include <cstring>

bool ReadInputDword(const NetvaneRequest &request, DWORD &value)
{
    if (!request.Input || request.InputSize < sizeof value)
        return false;
    memcpy(&value, request.Input, sizeof value);
    return true;
}

DWORD WriteOutput(NetvaneRequest &request, const void *bytes, DWORD size)
{
    if (size == 0)
        return 0;
    if (!request.Output || request.OutputSize < size)
        return ERROR_INSUFFICIENT_BUFFER;
    memcpy(request.Output, bytes, size);
    request.Returned = size;
    return 0;
}

namespace {

DWORD PortRequest(NetvaneRequest &request)
{
    // The emulator filters no packets; the log keeps the announcement.
    return request.Input && request.InputSize >= sizeof(WORD) ? 0 : ERROR_INVALID_PARAMETER;
}

DWORD SetAclReadyRequest(NetvaneRequest &request)
{
    DWORD ready;
    if (!ReadInputDword(request, ready))
        return ERROR_INVALID_PARAMETER;
    request.Control.AclReady = ready;
    return 0;
}

DWORD StartEventsRequest(NetvaneRequest &request)
{
    request.Control.EventsStarted = 1;
    return 0;
}

DWORD TickRequest(NetvaneRequest &request)
{
    DWORD unused;
    if (!ReadInputDword(request, unused))
        return ERROR_INVALID_PARAMETER;
    ++request.Control.Ticks;
    return 0;
}

DWORD BlockControlRequest(NetvaneRequest &request)
{
    DWORD value;
    if (!ReadInputDword(request, value) || (value != 1 && value != 2))
        return ERROR_INVALID_PARAMETER;
    request.Control.LastBlockControl = value;
    // The second control ends the block, so that the release needs no free.
    return value == 2 && request.Handle.BlockGeneration ? EndBlock(request) : 0;
}

DWORD GetQueueRequest(NetvaneRequest &request)
{
    NetvaneRing *ring = NetvaneRingSection();
    if (!ring)
        return ERROR_NOT_ENOUGH_MEMORY;
    DriverQueueView view = {};
    view.WriteIndexAddress = AddressToDword(&ring->WriteIndex);
    view.ReadIndexAddress = AddressToDword(&ring->ReadIndex);
    view.RingAddress = AddressToDword(ring->Records);
    return WriteOutput(request, &view, sizeof view);
}

DWORD GetTablesRequest(NetvaneRequest &request)
{
    NetvaneTables *tables = NetvaneTablesSection();
    if (!tables)
        return ERROR_NOT_ENOUGH_MEMORY;
    DriverTableView view = {};
    view.Table1CountAddress = AddressToDword(&tables->Table1Count);
    view.Table1Address = AddressToDword(tables->Table1);
    view.Table2Address = AddressToDword(tables->Table2);
    return WriteOutput(request, &view, sizeof view);
}

// The log keeps what was sent; the emulator has no use for it.
DWORD SendBufferRequest(NetvaneRequest &request)
{
    return request.Input ? 0 : ERROR_INVALID_PARAMETER;
}

DWORD ReadBufferRequest(NetvaneRequest &request)
{
    const NetvaneBuffer &data = request.Control.ReadData;
    DWORD size = data.Size < request.OutputSize ? data.Size : request.OutputSize;
    if (size) {
        if (!request.Output)
            return ERROR_INVALID_PARAMETER;
        memcpy(request.Output, data.Bytes, size);
    }
    request.Returned = size;
    return 0;
}

// Answers the length of the text, which must end within the input.
DWORD QueryStringRequest(NetvaneRequest &request)
{
    if (!request.Input || request.InputSize == 0 ||
        !memchr(request.Input, '\0', request.InputSize))
        return ERROR_INVALID_PARAMETER;
    DWORD length = static_cast<DWORD>(strlen(reinterpret_cast<const char *>(request.Input)));
    return WriteOutput(request, &length, sizeof length);
}

} // namespace

DWORD HandleNetvaneRequest(DWORD code, NetvaneRequest &request)
{
    switch (code) {
    case IOCTL_NETVANE_CREATE_BLOCK: return CreateBlockRequest(request);
    case IOCTL_NETVANE_FREE_BLOCK: return FreeBlockRequest(request);
    case IOCTL_NETVANE_MAP_BLOCK: return MapBlockRequest(request);
    case IOCTL_NETVANE_ADD_PORT: return PortRequest(request);
    case IOCTL_NETVANE_GET_QUEUE: return GetQueueRequest(request);
    case IOCTL_NETVANE_GET_TABLES: return GetTablesRequest(request);
    case IOCTL_NETVANE_SEND_BUFFER: return SendBufferRequest(request);
    case IOCTL_NETVANE_REMOVE_PORT: return PortRequest(request);
    case IOCTL_NETVANE_SET_ACL_READY: return SetAclReadyRequest(request);
    case IOCTL_NETVANE_START_EVENTS: return StartEventsRequest(request);
    case IOCTL_NETVANE_GET_NAME_LIST: return GetNameListRequest(request);
    case IOCTL_NETVANE_LOOKUP_NAME: return LookupNameRequest(request);
    case IOCTL_NETVANE_QUERY_STRING: return QueryStringRequest(request);
    case IOCTL_NETVANE_READ_BUFFER: return ReadBufferRequest(request);
    case IOCTL_NETVANE_UNMAP_BLOCK: return UnmapBlockRequest(request);
    case IOCTL_NETVANE_BLOCK_CONTROL: return BlockControlRequest(request);
    case IOCTL_NETVANE_TICK: return TickRequest(request);
    default: return ERROR_INVALID_FUNCTION;
    }
}
