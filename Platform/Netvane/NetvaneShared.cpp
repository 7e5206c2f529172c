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

CNetvaneLock::CNetvaneLock()
{
    static HANDLE mutex;
    AcquireSRWLockExclusive(&g_mapLock);
    if (!mutex)
        mutex = CreateMutexA(nullptr, FALSE, "NetvaneEmulator.Lock");
    m_mutex = mutex;
    ReleaseSRWLockExclusive(&g_mapLock);
    // An owner that died mid-update leaves plain counters and records: use them.
    if (m_mutex)
        WaitForSingleObject(m_mutex, INFINITE);
}

CNetvaneLock::~CNetvaneLock()
{
    if (m_mutex)
        ReleaseMutex(m_mutex);
}
