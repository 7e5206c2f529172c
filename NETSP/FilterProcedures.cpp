#include "FilterProcedures.h"

#include "NextProvider.h"
#include "PendingRecvList.h"
#include "ReadableMemory.h"
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

// The handle of a refused connection never reaches the application: the
// accept fails, and says that the connection was refused.
SOCKET WSPAPI FilterAccept(SOCKET s, sockaddr *addr, LPINT addrlen, LPCONDITIONPROC condition,
                           DWORD_PTR callbackData, LPINT lpErrno)
{
    SOCKET accepted = g_nextProcedures.lpWSPAccept(s, addr, addrlen, condition, callbackData, lpErrno);
    if (accepted == INVALID_SOCKET || SocketFilter().OnAccept(s, accepted) == ACTION_PASS)
        return accepted;
    Refuse(accepted, WSAECONNREFUSED, lpErrno);
    return INVALID_SOCKET;
}

int WSPAPI FilterBind(SOCKET s, const sockaddr *name, int namelen, LPINT lpErrno)
{
    int result = g_nextProcedures.lpWSPBind(s, name, namelen, lpErrno);
    if (result != 0 || SocketFilter().OnBind(s, name, namelen) == ACTION_PASS)
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

// The first buffer of a call, or an empty one when the call has none or
// its array cannot be read (the next provider answers that call).
WSABUF FirstBuffer(LPWSABUF buffers, DWORD count)
{
    WSABUF first = {};
    if (count > 0 && IsReadableMemory(buffers, sizeof *buffers))
        first = buffers[0];
    return first;
}

// Filters an overlapped receive as it completes, then hands the completion
// on to the application's routine. The entry is taken out of the list
// before the routine runs, so a receive that the routine posts again with
// the same OVERLAPPED keeps its own entry.
void CALLBACK RecvCompletionHook(DWORD error, DWORD transferred, LPWSAOVERLAPPED overlapped, DWORD flags)
{
    PendingRecv pending;
    if (!PendingRecvs().Take(overlapped, pending))
        return;
    CSocketFilter &filter = SocketFilter();
    BYTE verdict = pending.IsRecvFrom
                       ? filter.OnRecvFrom(pending.Socket, pending.From, pending.FromLength, pending.FirstBuffer,
                                           transferred)
                       : filter.OnRecv(pending.Socket, pending.FirstBuffer, transferred);
    if (verdict != ACTION_PASS) {
        int ignored = 0;
        FilterCloseSocket(pending.Socket, &ignored);
        error = WSAECONNABORTED;
    }
    if (pending.Completion)
        pending.Completion(error, transferred, overlapped, flags);
}

// Puts the hook in place of the application's routine when the receive is
// overlapped with a routine; the routine to pass to the next provider.
LPWSAOVERLAPPED_COMPLETION_ROUTINE HookRecv(const PendingRecv &pending)
{
    if (!pending.Overlapped || !pending.Completion || !PendingRecvs().Add(pending))
        return pending.Completion;
    return RecvCompletionHook;
}

// A hooked receive that failed at once never completes: its entry goes.
void ForgetFailedRecv(int result, LPWSAOVERLAPPED overlapped, const int *lpErrno)
{
    PendingRecv unused;
    if (result == SOCKET_ERROR && *lpErrno != WSA_IO_PENDING)
        PendingRecvs().Take(overlapped, unused);
}

// A receive that fails or is still pending passes unfiltered; one that
// completes through the hook is filtered there.
int WSPAPI FilterRecv(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                      LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                      LPWSATHREADID thread, LPINT lpErrno)
{
    PendingRecv pending = {s, FirstBuffer(buffers, count), count, received, flags, overlapped, completion,
                           nullptr, nullptr, 0};
    LPWSAOVERLAPPED_COMPLETION_ROUTINE routine = HookRecv(pending);
    int result = g_nextProcedures.lpWSPRecv(s, buffers, count, received, flags, overlapped, routine, thread,
                                            lpErrno);
    if (routine == RecvCompletionHook) {
        ForgetFailedRecv(result, overlapped, lpErrno);
        return result;
    }
    if (result == SOCKET_ERROR)
        return result;
    if (SocketFilter().OnRecv(s, pending.FirstBuffer, CountOf(received)) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    return result;
}

int WSPAPI FilterRecvFrom(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                          sockaddr *from, LPINT fromlen, LPWSAOVERLAPPED overlapped,
                          LPWSAOVERLAPPED_COMPLETION_ROUTINE completion, LPWSATHREADID thread, LPINT lpErrno)
{
    PendingRecv pending = {s, FirstBuffer(buffers, count), count, received, flags, overlapped, completion,
                           from, fromlen, 1};
    LPWSAOVERLAPPED_COMPLETION_ROUTINE routine = HookRecv(pending);
    int result = g_nextProcedures.lpWSPRecvFrom(s, buffers, count, received, flags, from, fromlen, overlapped,
                                                routine, thread, lpErrno);
    if (routine == RecvCompletionHook) {
        ForgetFailedRecv(result, overlapped, lpErrno);
        return result;
    }
    if (result == SOCKET_ERROR)
        return result;
    if (SocketFilter().OnRecvFrom(s, from, fromlen, pending.FirstBuffer, CountOf(received)) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    return result;
}

// The decision comes first, so that a refused send transmits nothing; the
// counter grows by what the next provider reports as sent.
int WSPAPI FilterSend(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags,
                      LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                      LPWSATHREADID thread, LPINT lpErrno)
{
    OwnSocketRef entry;
    if (SocketFilter().OnSend(s, FirstBuffer(buffers, count), &entry) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    int result = g_nextProcedures.lpWSPSend(s, buffers, count, sent, flags, overlapped, completion, thread,
                                            lpErrno);
    if (result == 0)
        SocketFilter().CountSent(entry, CountOf(sent));
    return result;
}

int WSPAPI FilterSendTo(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags, const sockaddr *to,
                        int tolen, LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                        LPWSATHREADID thread, LPINT lpErrno)
{
    OwnSocketRef entry;
    if (SocketFilter().OnSendTo(s, to, tolen, FirstBuffer(buffers, count), &entry) != ACTION_PASS)
        return Refuse(s, WSAECONNABORTED, lpErrno);
    int result = g_nextProcedures.lpWSPSendTo(s, buffers, count, sent, flags, to, tolen, overlapped, completion,
                                              thread, lpErrno);
    if (result == 0)
        SocketFilter().CountSent(entry, CountOf(sent));
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
