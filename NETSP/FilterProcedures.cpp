#include "FilterProcedures.h"

#include "NextProvider.h"
#include "SocketFilter.h"

namespace {

int WSPAPI FilterCloseSocket(SOCKET s, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPCloseSocket(s, lpErrno);
    if (result != 0) {
        WSASetLastError(*lpErrno);
        return result;
    }
    SocketFilter().OnCloseSocket(s);
    return 0;
}

// A refused socket is closed like any other, record included.
int Refuse(SOCKET s, int error, LPINT lpErrno)
{
    int ignored = 0;
    FilterCloseSocket(s, &ignored);
    *lpErrno = error;
    return SOCKET_ERROR;
}

// The handle of a refused connection never reaches the application.
SOCKET WSPAPI FilterAccept(SOCKET s, sockaddr *addr, LPINT addrlen, LPCONDITIONPROC condition,
                           DWORD_PTR callbackData, LPINT lpErrno)
{
    SOCKET accepted = g_nextProcedures.lpWSPAccept(s, addr, addrlen, condition, callbackData, lpErrno);
    if (accepted == INVALID_SOCKET || SocketFilter().OnAccept(s, accepted) == ACTION_PASS)
        return accepted;
    Refuse(accepted, WSAECONNABORTED, lpErrno);
    return INVALID_SOCKET;
}

int WSPAPI FilterBind(SOCKET s, const sockaddr *name, int namelen, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPBind(s, name, namelen, lpErrno);
    if (result != 0 || SocketFilter().OnBind(s, name) == ACTION_PASS)
        return result;
    return Refuse(s, WSAENOTSOCK, lpErrno);
}

int WSPAPI FilterCleanup(LPINT lpErrno)
{
    return g_nextProcedures.lpWSPCleanup(lpErrno);
}

// A refused connect leaves the socket open; the next provider never sees it.
int WSPAPI FilterConnect(SOCKET s, const sockaddr *name, int namelen, LPWSABUF callerData,
                         LPWSABUF calleeData, LPQOS sqos, LPQOS gqos, LPINT lpErrno)
{
    if (SocketFilter().OnConnect(s, name, namelen) != ACTION_PASS) {
        *lpErrno = WSAECONNREFUSED;
        return SOCKET_ERROR;
    }
    return g_nextProcedures.lpWSPConnect(s, name, namelen, callerData, calleeData, sqos, gqos, lpErrno);
}

int WSPAPI FilterListen(SOCKET s, int backlog, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPListen(s, backlog, lpErrno);
    if (result != 0 || SocketFilter().OnListen(s) == ACTION_PASS)
        return result;
    return Refuse(s, WSAENOTSOCK, lpErrno);
}

DWORD CountOf(LPDWORD count)
{
    return count ? *count : 0;
}

// A receive that is still pending, or one that completes through a
// completion routine, is passed on unfiltered.
int WSPAPI FilterRecv(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                      LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                      LPWSATHREADID thread, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPRecv(s, buffers, count, received, flags, overlapped, completion, thread,
                                            lpErrno);
    if (result == SOCKET_ERROR || (overlapped && completion))
        return result;
    if (SocketFilter().OnRecv(s, CountOf(received)) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    return result;
}

int WSPAPI FilterRecvFrom(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                          sockaddr *from, LPINT fromlen, LPWSAOVERLAPPED overlapped,
                          LPWSAOVERLAPPED_COMPLETION_ROUTINE completion, LPWSATHREADID thread, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPRecvFrom(s, buffers, count, received, flags, from, fromlen, overlapped,
                                                completion, thread, lpErrno);
    if (result == SOCKET_ERROR || (overlapped && completion))
        return result;
    if (SocketFilter().OnRecvFrom(s, from, CountOf(received)) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    return result;
}

// The decision comes first, so that a refused send transmits nothing; the
// counter grows by what the next provider reports as sent.
int WSPAPI FilterSend(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags,
                      LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                      LPWSATHREADID thread, LPINT lpErrno)
{
    if (SocketFilter().OnSend(s) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    int result = g_nextProcedures.lpWSPSend(s, buffers, count, sent, flags, overlapped, completion, thread,
                                            lpErrno);
    if (result == 0)
        SocketFilter().CountSent(s, CountOf(sent));
    return result;
}

int WSPAPI FilterSendTo(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags, const sockaddr *to,
                        int tolen, LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                        LPWSATHREADID thread, LPINT lpErrno)
{
    if (SocketFilter().OnSendTo(s, to) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    int result = g_nextProcedures.lpWSPSendTo(s, buffers, count, sent, flags, to, tolen, overlapped, completion,
                                              thread, lpErrno);
    if (result == 0)
        SocketFilter().CountSent(s, CountOf(sent));
    return result;
}

SOCKET WSPAPI FilterSocket(int af, int type, int protocol, LPWSAPROTOCOL_INFOW info, GROUP group, DWORD flags,
                           LPINT lpErrno)
{
    SOCKET s = g_nextProcedures.lpWSPSocket(af, type, protocol, info, group, flags, lpErrno);
    if (s == INVALID_SOCKET)
        return s;
    if (info) {
        if (af == FROM_PROTOCOL_INFO)
            af = info->iAddressFamily;
        if (type == FROM_PROTOCOL_INFO)
            type = info->iSocketType;
        if (protocol == FROM_PROTOCOL_INFO)
            protocol = info->iProtocol;
    }
    SocketFilter().OnSocket(s, af, type, protocol);
    return s;
}

} // namespace

void InstallFilterProcedures(WSPPROC_TABLE &table)
{
    table.lpWSPAccept = FilterAccept;
    table.lpWSPBind = FilterBind;
    table.lpWSPCleanup = FilterCleanup;
    table.lpWSPCloseSocket = FilterCloseSocket;
    table.lpWSPConnect = FilterConnect;
    table.lpWSPListen = FilterListen;
    table.lpWSPRecv = FilterRecv;
    table.lpWSPRecvFrom = FilterRecvFrom;
    table.lpWSPSend = FilterSend;
    table.lpWSPSendTo = FilterSendTo;
    table.lpWSPSocket = FilterSocket;
}
