#include "HostName.h"
#include <cstdio>
#include "Address32.h"
#include "DriverInterface.h"
#include "OsVersion.h"

namespace {

// Entries looked at before a list is taken to be broken (a cycle).
constexpr int kMaxNameEntries = 65536;

struct NameEntry {
    DWORD Next;
    DWORD Address;
    char Name[1]; // NUL-terminated, as long as the driver made it
};

const char *FindInNameList(DWORD address)
{
    const NameEntry *entry = DwordToAddress<NameEntry>(DriverGetNameList());
    for (int n = 0; entry && n < kMaxNameEntries; ++n) {
        if (entry->Address == address)
            return entry->Name;
        entry = DwordToAddress<NameEntry>(entry->Next);
    }
    return nullptr;
}

} // namespace

bool IpToHostName(DWORD address, char *out, DWORD outSize)
{
    if (!out || outSize == 0)
        return false;
    out[0] = '\0';
    if (!IsWin9x()) {
        DriverLookupName(address, out, outSize);
        return out[0] != '\0';
    }
    if (const char *name = FindInNameList(address)) {
        lstrcpynA(out, name, static_cast<int>(outSize));
        return true;
    }
    snprintf(out, outSize, "%u.%u.%u.%u", unsigned(address >> 24 & 0xFF),
             unsigned(address >> 16 & 0xFF), unsigned(address >> 8 & 0xFF),
             unsigned(address & 0xFF));
    return false;
}
