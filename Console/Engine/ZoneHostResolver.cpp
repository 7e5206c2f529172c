#include "ZoneHostResolver.h"

#include <winsock2.h>
#include <vector>

#include "AclPublisher.h"

namespace {

// Process-wide: one resolver per console.
volatile LONG g_run;
HANDLE g_thread;
DWORD g_threadId;
CZoneHostResolver::HostLookup g_lookup;

// Held by the thread while it reads or writes the image, and by Stop while
// it clears the run flag: once Stop has it, the thread cannot be halfway
// through a store, and it looks at the flag before the next.
class CImageGate {
public:
    CImageGate() { InitializeCriticalSection(&m_section); }
    CImageGate(const CImageGate &) = delete;
    CImageGate &operator=(const CImageGate &) = delete;
    // Never deleted: a thread left to end on its own may still come by.
    CRITICAL_SECTION m_section;
};

CRITICAL_SECTION &Gate()
{
    static CImageGate *gate = new CImageGate;
    return gate->m_section;
}

class CGateHold {
public:
    CGateHold() { EnterCriticalSection(&Gate()); }
    ~CGateHold() { LeaveCriticalSection(&Gate()); }
    CGateHold(const CGateHold &) = delete;
    CGateHold &operator=(const CGateHold &) = delete;
};

} // namespace

BOOL CZoneHostResolver::Start(CAclPublisher &publisher)
{
    InterlockedExchange(&g_run, 1);
    if (g_threadId)
        return TRUE;
    g_thread = CreateThread(nullptr, 0, ThreadProc, &publisher, 0, &g_threadId);
    if (!g_thread) {
        g_threadId = 0;
        InterlockedExchange(&g_run, 0);
        return FALSE;
    }
    return TRUE;
}

// Waits on the thread itself, so that it never outlives the image it writes
// into, even when it has not begun its first pass yet; a thread caught in a
// lookup writes nothing more once the flag is clear.
BOOL CZoneHostResolver::Stop()
{
    {
        CGateHold hold;
        InterlockedExchange(&g_run, 0);
    }
    if (g_thread) {
        WaitForSingleObject(g_thread, STOP_WAIT_MS);
        CloseHandle(g_thread);
        g_thread = nullptr;
    }
    return TRUE;
}

BOOL CZoneHostResolver::IsRunning()
{
    return InterlockedCompareExchange(&g_run, 0, 0) != 0;
}

CZoneHostResolver::HostLookup CZoneHostResolver::SetHostLookup(HostLookup lookup)
{
    const HostLookup previous = g_lookup;
    g_lookup = lookup;
    return previous;
}

DWORD WINAPI CZoneHostResolver::ThreadProc(LPVOID publisher)
{
    // Without Winsock every name would look unresolvable and lose its address.
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    while (Pass(*static_cast<CAclPublisher *>(publisher), TRUE)) {
        for (int step = 0; step < 10 && IsRunning(); ++step)
            Sleep(100);
    }
    WSACleanup();
    return 0;
}

void CZoneHostResolver::ResolvePass(CAclPublisher &publisher)
{
    Pass(publisher, FALSE);
}

BOOL CZoneHostResolver::Pass(CAclPublisher &publisher, BOOL stoppable)
{
    return ResolveList(publisher, FALSE, stoppable) && ResolveList(publisher, TRUE, stoppable);
}

BOOL CZoneHostResolver::ResolveList(CAclPublisher &publisher, BOOL blocked, BOOL stoppable)
{
    std::vector<ZoneHostEntry> hosts;
    {
        CGateHold hold;
        if (stoppable && !IsRunning())
            return FALSE;
        publisher.GetHostEntries(blocked, hosts);
    }
    const HostLookup lookup = g_lookup ? g_lookup : ResolveName;
    for (const ZoneHostEntry &host : hosts) {
        const DWORD address = lookup(host.Site);
        CGateHold hold;
        if (stoppable && !IsRunning())
            return FALSE;
        publisher.StoreHostAddress(blocked, host.ID, host.Site, address);
    }
    return !stoppable || IsRunning();
}

DWORD CZoneHostResolver::ResolveName(LPCSTR name)
{
    if (!name || !*name)
        return 0;
    const hostent *host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || host->h_length != sizeof(u_long) ||
        !host->h_addr_list[0])
        return 0;
    u_long address;
    memcpy(&address, host->h_addr_list[0], sizeof address);
    return ntohl(address);
}
