// The overlapped receives of the process that complete through a completion
// routine: their data can only be filtered when they complete, in the
// provider's own routine, which finds here what the call was. One list per
// process, shared by all its threads; every operation holds its lock.
#pragma once

#include <winsock2.h>
#include <vector>

struct PendingRecv {
    SOCKET Socket;
    // The first buffer as described when the receive was posted: the
    // caller's WSABUF array need not outlive the call.
    WSABUF FirstBuffer;
    DWORD BufferCount;
    LPDWORD NumberOfBytesRecvd;
    LPDWORD Flags;
    LPWSAOVERLAPPED Overlapped; // the key
    LPWSAOVERLAPPED_COMPLETION_ROUTINE Completion; // the application's routine
    sockaddr *From;
    LPINT FromLength;
    int IsRecvFrom; // 1 from WSPRecvFrom, 0 from WSPRecv
};

class CPendingRecvList {
public:
    CPendingRecvList();
    CPendingRecvList(const CPendingRecvList &) = delete;
    CPendingRecvList &operator=(const CPendingRecvList &) = delete;

    // Replaces an entry with the same key, else appends. 1, or 0 when there
    // is no memory for it.
    int Add(const PendingRecv &entry);
    // The index of the entry with the key, or -1.
    int Find(LPWSAOVERLAPPED overlapped);
    // Later entries move down by one.
    void Remove(int index);
    // Finds, copies out and removes the entry of the key in one step, so
    // that a receive posted again with the same key, even from inside the
    // application's routine, gets an entry of its own. False when absent.
    bool Take(LPWSAOVERLAPPED overlapped, PendingRecv &entry);
    int Count();

private:
    int IndexOf(LPWSAOVERLAPPED overlapped) const;

    // Never deleted: completion routines may still run while the process
    // unloads the provider.
    CRITICAL_SECTION m_lock;
    std::vector<PendingRecv> m_entries;
};

// The process's list.
CPendingRecvList &PendingRecvs();
