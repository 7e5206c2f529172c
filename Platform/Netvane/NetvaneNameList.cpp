// The driver's host names: a chain in the caller's memory for the name-list
// request, and the short answer of the lookup request.
#include "NetvaneRequests.h"
#include "Address32.h"
#include <cstring>

namespace {

struct NameListEntry {
    DWORD Next;
    DWORD Address;
    char Name[NETVANE_NAME_LENGTH];
};

// One chain per process, rewritten by each request.
NameListEntry *g_chain;

const NetvaneName *FindName(const NetvaneNames &names, DWORD address)
{
    for (DWORD i = 0; i < names.Count && i < NETVANE_NAME_ENTRIES; ++i)
        if (names.Entries[i].Address == address)
            return &names.Entries[i];
    return nullptr;
}

} // namespace

DWORD GetNameListRequest(NetvaneRequest &request)
{
    if (!request.Output || request.OutputSize < sizeof(DWORD))
        return ERROR_INSUFFICIENT_BUFFER;
    NetvaneNames *names = NetvaneNamesSection();
    if (!g_chain)
        g_chain = static_cast<NameListEntry *>(HeapAlloc(
            GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(NameListEntry) * NETVANE_NAME_ENTRIES));
    if (!names || !g_chain)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD count = names->Count < NETVANE_NAME_ENTRIES ? names->Count : NETVANE_NAME_ENTRIES;
    for (DWORD i = 0; i < count; ++i) {
        NameListEntry &entry = g_chain[i];
        entry.Next = i + 1 < count ? AddressToDword(&g_chain[i + 1]) : 0;
        entry.Address = names->Entries[i].Address;
        memcpy(entry.Name, names->Entries[i].Name, sizeof entry.Name);
        entry.Name[sizeof entry.Name - 1] = '\0';
    }
    DWORD first = count ? AddressToDword(g_chain) : 0;
    return WriteOutput(request, &first, sizeof first);
}

// The driver answers with at most 4 bytes of the name and no terminator.
DWORD LookupNameRequest(NetvaneRequest &request)
{
    DWORD address;
    if (!ReadInputDword(request, address))
        return ERROR_INVALID_PARAMETER;
    NetvaneNames *names = NetvaneNamesSection();
    if (!names)
        return ERROR_NOT_ENOUGH_MEMORY;
    const NetvaneName *name = FindName(*names, address);
    if (!name)
        return 0;
    DWORD length = static_cast<DWORD>(strnlen(name->Name, sizeof name->Name));
    if (length > 4)
        length = 4;
    if (length > request.OutputSize)
        length = request.OutputSize;
    return WriteOutput(request, name->Name, length);
}
