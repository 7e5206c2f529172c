#include "NetvaneShared.h"

namespace {

SRWLOCK g_mapLock = SRWLOCK_INIT;

// Maps the named section once; the mapping handle and view are kept for the
// life of the process, so the state outlives any one caller.
void *MapShared(const char *name, DWORD size, void *&cache)
{
    AcquireSRWLockExclusive(&g_mapLock);
    if (!cache) {
        HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            size, name);
        if (section) {
            cache = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, size);
            if (!cache)
                CloseHandle(section);
        }
    }
    void *view = cache;
    ReleaseSRWLockExclusive(&g_mapLock);
    return view;
}

template <class T>
T *Section(const char *name)
{
    static void *cache;
    return static_cast<T *>(MapShared(name, sizeof(T), cache));
}

} // namespace

NetvaneControlState *NetvaneControlSection()
{
    return Section<NetvaneControlState>("NetvaneEmulator.Control");
}

NetvaneRing *NetvaneRingSection()
{
    return Section<NetvaneRing>("NetvaneEmulator.Ring");
}

NetvaneTables *NetvaneTablesSection()
{
    return Section<NetvaneTables>("NetvaneEmulator.Tables");
}

NetvaneNames *NetvaneNamesSection()
{
    return Section<NetvaneNames>("NetvaneEmulator.Names");
}

namespace {

bool ThreadHasEnded(DWORD threadId)
{
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread)
        return true;
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

} // namespace

CNetvaneLock::CNetvaneLock() : m_state(Section<NetvaneLockState>("NetvaneEmulator.Lock"))
{
    if (!m_state)
        return;
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    volatile LONG *owner = &m_state->Owner;
    if (*owner == self) {
        ++m_state->Depth;
        return;
    }
    for (unsigned attempt = 1;; ++attempt) {
        LONG holder = InterlockedCompareExchange(owner, self, 0);
        if (holder == 0)
            break;
        if (attempt % 64 == 0 && ThreadHasEnded(static_cast<DWORD>(holder)) &&
            InterlockedCompareExchange(owner, self, holder) == holder)
            break;
        if (attempt < 16)
            SwitchToThread();
        else
            Sleep(1);
    }
    m_state->Depth = 1;
}

CNetvaneLock::~CNetvaneLock()
{
    if (m_state && --m_state->Depth == 0)
        InterlockedExchange(&m_state->Owner, 0);
}
