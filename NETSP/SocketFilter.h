// The socket filter of one process: it keeps each filtered socket's record
// in the connection table up to date as the socket is used, and asks the
// decision whether a call may pass. One instance per process, constructed
// when the provider is loaded and destroyed when it is unloaded; its
// destructor destroys the decision object and then runs the connection
// table's teardown.
//
// Every AF_INET socket has a record of the process's own, which the calls
// update and the decision reads; its record in the connection table mirrors
// it for the console (a socket that got none there, because the table is
// full or not mapped, is decided all the same). The deciding methods return
// ACTION_PASS for a socket of another family, and otherwise the decision:
// ACTION_PASS lets the call through, any other value refuses it.
// Socket addresses are used only when they are long enough and AF_INET;
// data is the first buffer of the call, of which the sniffers read sends
// whole and receives as far as bytes arrived.
#pragma once

#include <winsock2.h>
#include "AclMemory.h"
#include "OwnSockets.h"
#include "SessionTable.h"

class CSocketFilter {
public:
    CSocketFilter() = default;
    virtual ~CSocketFilter() = default;
    CSocketFilter(const CSocketFilter &) = delete;
    CSocketFilter &operator=(const CSocketFilter &) = delete;

    CSessionTable &Sessions() { return m_sessions; }
    CAclMemory &Acl() { return m_acl; }

    // Registers an AF_INET socket; other families are not recorded.
    void OnSocket(SOCKET s, int af, int type, int protocol);
    void OnCloseSocket(SOCKET s);
    BYTE OnBind(SOCKET s, const sockaddr *name, int namelen);
    BYTE OnListen(SOCKET s);
    BYTE OnConnect(SOCKET s, const sockaddr *name, int namelen);
    BYTE OnAccept(SOCKET listener, SOCKET accepted);
    // The send path finds the socket's entry once: the deciding call hands
    // it out (null for a socket without one) for CountSent.
    BYTE OnSend(SOCKET s, const WSABUF &data, OwnSocketRef *entry = nullptr);
    BYTE OnSendTo(SOCKET s, const sockaddr *to, int tolen, const WSABUF &data, OwnSocketRef *entry = nullptr);
    BYTE OnRecv(SOCKET s, const WSABUF &data, DWORD count);
    BYTE OnRecvFrom(SOCKET s, const sockaddr *from, const int *fromlen, const WSABUF &data, DWORD count);
    // Adds what the next provider reports as sent to the socket's record.
    void CountSent(const OwnSocketRef &entry, DWORD count);

    void SetWorkMode(BYTE mode) { m_acl.SetWorkMode(mode); }

private:
    // Registers the socket in the table and keeps its own record.
    void Track(SOCKET s, BYTE kind);
    // Mirrors the socket's own record, then decides on it.
    BYTE Decide(OwnSocket &own);
    BYTE SendDecision(OwnSocket &own, const WSABUF &data);
    BYTE RecvDecision(OwnSocket &own, const WSABUF &data, DWORD count);

    CSessionTable m_sessions;
    CAclMemory m_acl;
    COwnSockets m_own;
};

// The process's filter.
CSocketFilter &SocketFilter();
