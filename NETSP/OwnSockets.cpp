#include "OwnSockets.h"

#include <new>

namespace {

// Holds the list's lock for a scope.
class CHold {
public:
    explicit CHold(CRITICAL_SECTION &lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CHold() { LeaveCriticalSection(&m_lock); }
    CHold(const CHold &) = delete;
    CHold &operator=(const CHold &) = delete;

private:
    CRITICAL_SECTION &m_lock;
};

} // namespace

COwnSockets::COwnSockets()
{
    InitializeCriticalSection(&m_lock);
}

COwnSockets::~COwnSockets()
{
    DeleteCriticalSection(&m_lock);
}

// A socket call must never fail for the provider's own bookkeeping: without
// memory the socket simply has no entry.
OwnSocketRef COwnSockets::Add(SOCKET s, int sharedIndex, const SessionRecord &record)
{
    try {
        OwnSocketRef entry = std::make_shared<OwnSocket>();
        entry->Socket = s;
        entry->SharedIndex = sharedIndex;
        entry->Record = record;
        CHold hold(m_lock);
        m_sockets[s] = entry;
        return entry;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

OwnSocketRef COwnSockets::Find(SOCKET s)
{
    CHold hold(m_lock);
    auto found = m_sockets.find(s);
    return found == m_sockets.end() ? nullptr : found->second;
}

OwnSocketRef COwnSockets::Remove(SOCKET s)
{
    CHold hold(m_lock);
    auto found = m_sockets.find(s);
    if (found == m_sockets.end())
        return nullptr;
    OwnSocketRef entry = found->second;
    m_sockets.erase(found);
    return entry;
}
