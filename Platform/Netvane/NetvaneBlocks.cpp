// The driver's block: one current block, made by the first request of a
// size and opened by every later request of the same size, until it is
// freed. Each block is a named section; a process keeps its section handle
// from the create request until the block ends (a free, or the second block
// control of a release), and its views until the unmap.
#include "NetvaneRequests.h"
#include "Address32.h"
#include <cstdio>

namespace {

constexpr DWORD kMaxSections = 16;
constexpr DWORD kMaxViews = 64;

struct BlockSection {
    DWORD Generation;
    HANDLE Section;
};

// This process's sections and views; changed only under CNetvaneLock.
BlockSection g_sections[kMaxSections];
void *g_views[kMaxViews];

BlockSection *FindSection(DWORD generation)
{
    for (BlockSection &entry : g_sections)
        if (entry.Section && entry.Generation == generation)
            return &entry;
    return nullptr;
}

// The section of a block, opened or made in this process.
DWORD OpenSection(DWORD generation, DWORD size)
{
    if (FindSection(generation))
        return 0;
    BlockSection *slot = nullptr;
    for (BlockSection &entry : g_sections)
        if (!entry.Section && !slot)
            slot = &entry;
    if (!slot)
        return ERROR_NOT_ENOUGH_MEMORY;
    char name[64];
    snprintf(name, sizeof name, "NetvaneEmulator.Block.%lu", static_cast<unsigned long>(generation));
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (!section)
        return GetLastError();
    slot->Generation = generation;
    slot->Section = section;
    return 0;
}

void CloseSection(DWORD generation)
{
    if (BlockSection *entry = FindSection(generation)) {
        CloseHandle(entry->Section);
        *entry = BlockSection();
    }
}

void **FindView(void *address)
{
    for (void *&view : g_views)
        if (view == address)
            return &view;
    return nullptr;
}

} // namespace

DWORD CreateBlockRequest(NetvaneRequest &request)
{
    DWORD size;
    if (!ReadInputDword(request, size) || size == 0 || size > NETVANE_MAX_BLOCK)
        return ERROR_INVALID_PARAMETER;
    NetvaneControlState &control = request.Control;
    bool existing = control.BlockLive && control.BlockSize == size;
    DWORD generation = existing ? control.BlockGeneration : control.BlockGeneration + 1;
    if (DWORD error = OpenSection(generation, size))
        return error;
    if (!existing) {
        control.BlockGeneration = generation;
        control.BlockSize = size;
        control.BlockLive = 1;
    }
    request.Handle.BlockGeneration = generation;
    return 0;
}

DWORD MapBlockRequest(NetvaneRequest &request)
{
    DWORD flag;
    if (!ReadInputDword(request, flag))
        return ERROR_INVALID_PARAMETER;
    if (!request.Output || request.OutputSize < sizeof(DWORD))
        return ERROR_INSUFFICIENT_BUFFER;
    const NetvaneHandleState &handle = request.Handle;
    const NetvaneControlState &control = request.Control;
    BlockSection *entry = FindSection(handle.BlockGeneration);
    if (!handle.BlockGeneration || !entry || !control.BlockLive ||
        control.BlockGeneration != handle.BlockGeneration)
        return ERROR_FILE_INVALID; // freed or replaced since this handle made it
    void **slot = FindView(nullptr);
    if (!slot)
        return ERROR_NOT_ENOUGH_MEMORY;
    // The handle's block is the current one, of the current size.
    void *view = MapViewOfFile(entry->Section, FILE_MAP_WRITE, 0, 0, control.BlockSize);
    if (!view)
        return GetLastError();
    *slot = view;
    DWORD address = AddressToDword(view);
    return WriteOutput(request, &address, sizeof address);
}

DWORD UnmapBlockRequest(NetvaneRequest &request)
{
    DWORD address;
    if (!ReadInputDword(request, address))
        return ERROR_INVALID_PARAMETER;
    void **slot = address ? FindView(DwordToAddress<void>(address)) : nullptr;
    if (!slot)
        return ERROR_INVALID_ADDRESS;
    UnmapViewOfFile(*slot);
    *slot = nullptr;
    return 0;
}

DWORD FreeBlockRequest(NetvaneRequest &request)
{
    DWORD address;
    if (!ReadInputDword(request, address))
        return ERROR_INVALID_PARAMETER;
    return EndBlock(request);
}

DWORD EndBlock(NetvaneRequest &request)
{
    NetvaneHandleState &handle = request.Handle;
    if (!handle.BlockGeneration)
        return ERROR_INVALID_PARAMETER;
    NetvaneControlState &control = request.Control;
    if (control.BlockLive && control.BlockGeneration == handle.BlockGeneration)
        control.BlockLive = 0;
    CloseSection(handle.BlockGeneration);
    handle.BlockGeneration = 0;
    return 0;
}
