// What the process itself keeps of each filtered socket: the socket's record
// as this process wrote it, and the index of the shared record that mirrors
// it for the console. Decisions read the process's own record only, so that
// what another process writes into the shared table (which every process may
// write) never changes them, and a socket that got no shared record (the
// table full or not mapped) is decided all the same.
//
// One list per process, shared by its threads. An entry is handed out as a
// counted reference: a thread still working on a socket that another thread
// closes keeps its entry until it is done.
#pragma once

#include <winsock2.h>
#include <memory>
#include <unordered_map>
#include "SessionRecord.h"

struct OwnSocket {
    SOCKET Socket;
    int SharedIndex;      // the record in the connection table, or -1
    SessionRecord Record; // this process's own copy, the one decided on
    // Bound, connected or accepted: a TCP socket has a local name only then.
    bool MayHaveName = false;
};

typedef std::shared_ptr<OwnSocket> OwnSocketRef;

class COwnSockets {
public:
    COwnSockets();
    ~COwnSockets();
    COwnSockets(const COwnSockets &) = delete;
    COwnSockets &operator=(const COwnSockets &) = delete;

    // A new entry for the socket, replacing one that its handle value had
    // before; null when there is no memory for it.
    OwnSocketRef Add(SOCKET s, int sharedIndex, const SessionRecord &record);
    // The socket's entry, or null.
    OwnSocketRef Find(SOCKET s);
    // Takes the socket's entry out of the list; the entry, or null.
    OwnSocketRef Remove(SOCKET s);

private:
    CRITICAL_SECTION m_lock;
    std::unordered_map<SOCKET, OwnSocketRef> m_sockets;
};
