#include "PendingRecvList.h"

#include <new>

namespace {

// Holds the list's lock for a scope.
class CListLock {
public:
    explicit CListLock(CRITICAL_SECTION &lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CListLock() { LeaveCriticalSection(&m_lock); }
    CListLock(const CListLock &) = delete;
    CListLock &operator=(const CListLock &) = delete;

private:
    CRITICAL_SECTION &m_lock;
};

} // namespace

CPendingRecvList &PendingRecvs()
{
    static CPendingRecvList *list = new CPendingRecvList();
    return *list;
}

CPendingRecvList::CPendingRecvList()
{
    InitializeCriticalSection(&m_lock);
}

int CPendingRecvList::IndexOf(LPWSAOVERLAPPED overlapped) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].Overlapped == overlapped)
            return static_cast<int>(i);
    }
    return -1;
}

int CPendingRecvList::Add(const PendingRecv &entry)
{
    CListLock hold(m_lock);
    int index = IndexOf(entry.Overlapped);
    if (index >= 0) {
        m_entries[index] = entry;
        return 1;
    }
    try {
        m_entries.push_back(entry);
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return 1;
}

int CPendingRecvList::Find(LPWSAOVERLAPPED overlapped)
{
    CListLock hold(m_lock);
    return IndexOf(overlapped);
}

void CPendingRecvList::Remove(int index)
{
    CListLock hold(m_lock);
    if (index >= 0 && index < static_cast<int>(m_entries.size()))
        m_entries.erase(m_entries.begin() + index);
}

bool CPendingRecvList::Take(LPWSAOVERLAPPED overlapped, PendingRecv &entry)
{
    CListLock hold(m_lock);
    int index = IndexOf(overlapped);
    if (index < 0)
        return false;
    entry = m_entries[index];
    m_entries.erase(m_entries.begin() + index);
    return true;
}

int CPendingRecvList::Count()
{
    CListLock hold(m_lock);
    return static_cast<int>(m_entries.size());
}
