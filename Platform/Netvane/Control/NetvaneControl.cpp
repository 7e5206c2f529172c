#include "NetvaneControl.h"
#include <cstring>

namespace {

bool SectionsReady()
{
    return NetvaneControlSection() && NetvaneRingSection() && NetvaneTablesSection() &&
           NetvaneNamesSection();
}

// Shows the kept calls to the visitor, oldest first, while it returns true.
template <class Visitor>
void VisitCalls(Visitor visit)
{
    NetvaneControlState *control = NetvaneControlSection();
    if (!control)
        return;
    CNetvaneLock lock;
    DWORD total = control->CallCount;
    DWORD first = total > NETVANE_CALL_ENTRIES ? total - NETVANE_CALL_ENTRIES : 0;
    for (DWORD n = first; n < total; ++n)
        if (!visit(control->Calls[n % NETVANE_CALL_ENTRIES]))
            return;
}

} // namespace

BOOL NetvaneInstallService()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(key);
    return TRUE;
}

BOOL NetvaneRemoveService()
{
    LONG result = RegDeleteTreeA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY);
    if (result == ERROR_SUCCESS)
        result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void NetvaneReset()
{
    if (!SectionsReady())
        return;
    CNetvaneLock lock;
    NetvaneControlState &control = *NetvaneControlSection();
    // Block names are never reused: a process may still hold an old one.
    DWORD generation = control.BlockGeneration;
    memset(&control, 0, sizeof control);
    control.BlockGeneration = generation;
    memset(NetvaneRingSection(), 0, sizeof(NetvaneRing));
    memset(NetvaneTablesSection(), 0, sizeof(NetvaneTables));
    memset(NetvaneNamesSection(), 0, sizeof(NetvaneNames));
}

BOOL NetvanePushRecord(const DriverQueueRecord &record)
{
    NetvaneRing *ring = NetvaneRingSection();
    if (!ring)
        return FALSE;
    CNetvaneLock lock;
    DWORD write = ring->WriteIndex % DRIVER_RING_ENTRIES;
    DWORD next = (write + 1) % DRIVER_RING_ENTRIES;
    if (next == ring->ReadIndex)
        return FALSE;
    ring->Records[write] = record;
    // The console reads the record once it sees the new index.
    InterlockedExchange(reinterpret_cast<volatile LONG *>(&ring->WriteIndex),
                        static_cast<LONG>(next));
    return TRUE;
}

void NetvaneSetRingIndexes(DWORD readIndex, DWORD writeIndex)
{
    NetvaneRing *ring = NetvaneRingSection();
    if (!ring)
        return;
    CNetvaneLock lock;
    ring->ReadIndex = readIndex % DRIVER_RING_ENTRIES;
    ring->WriteIndex = writeIndex % DRIVER_RING_ENTRIES;
}

BOOL NetvaneSetTable1Entry(DWORD index, const DriverTableRecord &record)
{
    NetvaneTables *tables = NetvaneTablesSection();
    if (!tables || index >= NETVANE_TABLE1_ENTRIES)
        return FALSE;
    CNetvaneLock lock;
    tables->Table1[index] = record;
    return TRUE;
}

BOOL NetvaneSetTable1Count(DWORD count)
{
    NetvaneTables *tables = NetvaneTablesSection();
    if (!tables || count > NETVANE_TABLE1_ENTRIES)
        return FALSE;
    CNetvaneLock lock;
    tables->Table1Count = count;
    return TRUE;
}

BOOL NetvaneSetTable2Entry(DWORD index, const DriverTableRecord &record)
{
    NetvaneTables *tables = NetvaneTablesSection();
    if (!tables || index >= NETVANE_TABLE2_ENTRIES)
        return FALSE;
    CNetvaneLock lock;
    tables->Table2[index] = record;
    return TRUE;
}

BOOL NetvaneGetTable2Entry(DWORD index, DriverTableRecord *record)
{
    NetvaneTables *tables = NetvaneTablesSection();
    if (!tables || !record || index >= NETVANE_TABLE2_ENTRIES)
        return FALSE;
    CNetvaneLock lock;
    *record = tables->Table2[index];
    return TRUE;
}

BOOL NetvaneAddName(DWORD address, const char *name)
{
    NetvaneNames *names = NetvaneNamesSection();
    if (!names || !name || strlen(name) >= NETVANE_NAME_LENGTH)
        return FALSE;
    CNetvaneLock lock;
    if (names->Count >= NETVANE_NAME_ENTRIES)
        return FALSE;
    NetvaneName &entry = names->Entries[names->Count++];
    entry.Address = address;
    strcpy(entry.Name, name);
    return TRUE;
}

BOOL NetvaneFailCode(DWORD code, DWORD error)
{
    NetvaneControlState *control = NetvaneControlSection();
    if (!control)
        return FALSE;
    CNetvaneLock lock;
    NetvaneFailure *slot = nullptr;
    for (NetvaneFailure &failure : control->Failures) {
        if (failure.Error && failure.Code == code) {
            slot = &failure;
            break;
        }
        if (!failure.Error && !slot)
            slot = &failure;
    }
    if (!slot)
        return FALSE;
    slot->Code = code;
    slot->Error = error;
    return TRUE;
}

BOOL NetvaneSetReadData(const void *bytes, DWORD size)
{
    NetvaneControlState *control = NetvaneControlSection();
    if (!control || size > NETVANE_BUFFER_BYTES || (size && !bytes))
        return FALSE;
    CNetvaneLock lock;
    control->ReadData.Size = size;
    if (size)
        memcpy(control->ReadData.Bytes, bytes, size);
    return TRUE;
}

DWORD NetvaneReadCalls(DWORD processId, NetvaneCall *calls, DWORD maxCalls)
{
    DWORD copied = 0;
    VisitCalls([&](const NetvaneCall &call) {
        if (copied == maxCalls)
            return false;
        if (!processId || call.ProcessId == processId)
            calls[copied++] = call;
        return true;
    });
    return copied;
}

DWORD NetvaneCountCalls(DWORD processId, DWORD code)
{
    DWORD count = 0;
    VisitCalls([&](const NetvaneCall &call) {
        if ((!processId || call.ProcessId == processId) && call.Code == code)
            ++count;
        return true;
    });
    return count;
}

BOOL NetvaneGetStatus(NetvaneStatus *status)
{
    if (!status || !SectionsReady())
        return FALSE;
    CNetvaneLock lock;
    const NetvaneControlState &control = *NetvaneControlSection();
    const NetvaneRing &ring = *NetvaneRingSection();
    status->AclReady = control.AclReady;
    status->EventsStarted = control.EventsStarted;
    status->Ticks = control.Ticks;
    status->BlockLive = control.BlockLive;
    status->BlockSize = control.BlockSize;
    status->BlockGeneration = control.BlockGeneration;
    status->LastBlockControl = control.LastBlockControl;
    status->ReadIndex = ring.ReadIndex;
    status->WriteIndex = ring.WriteIndex;
    status->Table1Count = NetvaneTablesSection()->Table1Count;
    status->CallCount = control.CallCount;
    return TRUE;
}
