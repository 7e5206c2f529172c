#include "ZoneHostResolver.h"

#include <winsock2.h>
#include <vector>

#include "AclPublisher.h"

namespace {

// Process-wide: one resolver per console.
volatile LONG g_run;
HANDLE g_thread;
DWORD g_threadId;

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
// into, even when it has not begun its first pass yet.
BOOL CZoneHostResolver::Stop()
{
    InterlockedExchange(&g_run, 0);
    if (g_thread) {
        WaitForSingleObject(g_thread, INFINITE);
        CloseHandle(g_thread);
        g_thread = nullptr;
    }
    return TRUE;
}

BOOL CZoneHostResolver::IsRunning()
{
    return InterlockedCompareExchange(&g_run, 0, 0) != 0;
}

DWORD WINAPI CZoneHostResolver::ThreadProc(LPVOID publisher)
{
    // Without Winsock every name would look unresolvable and lose its address.
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    while (IsRunning()) {
        ResolvePass(*static_cast<CAclPublisher *>(publisher));
        for (int step = 0; step < 10 && IsRunning(); ++step)
            Sleep(100);
    }
    WSACleanup();
    return 0;
}

void CZoneHostResolver::ResolvePass(CAclPublisher &publisher)
{
    ResolveList(publisher, FALSE);
    ResolveList(publisher, TRUE);
}

void CZoneHostResolver::ResolveList(CAclPublisher &publisher, BOOL blocked)
{
    std::vector<ZoneHostEntry> hosts;
    publisher.GetHostEntries(blocked, hosts);
    for (const ZoneHostEntry &host : hosts) {
        DWORD address = ResolveName(host.Site);
        publisher.StoreHostAddress(blocked, host.ID, host.Site, address);
    }
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
