// A base TCP/IP service provider over the process's own Winsock: the library
// that a catalog entry names before the firewall is installed. Every socket
// it hands out is a real Winsock handle, so the layers above it can call
// getsockname or getpeername on it, and overlapped receives complete through
// Winsock's own completion routines.
#include <winsock2.h>
#include <ws2spi.h>
#include <cwchar>

namespace {

WSPUPCALLTABLE g_upcalls;
DWORD g_catalogEntryId; // of the last start; accepted sockets belong to it

// Winsock procedures report failure through their result; the provider
// interface also wants the error code in *lpErrno.
int Checked(int result, LPINT lpErrno)
{
    if (result == SOCKET_ERROR)
        *lpErrno = WSAGetLastError();
    return result;
}

SOCKET CheckedSocket(SOCKET s, LPINT lpErrno)
{
    if (s == INVALID_SOCKET)
        *lpErrno = WSAGetLastError();
    return s;
}

BOOL CheckedBool(BOOL ok, LPINT lpErrno)
{
    if (!ok)
        *lpErrno = WSAGetLastError();
    return ok;
}

// Hands a new socket to the layer above, as an installable file system
// provider does; the layer above may answer with another handle.
SOCKET Announce(DWORD catalogEntryId, SOCKET s, LPINT lpErrno)
{
    if (s == INVALID_SOCKET || !g_upcalls.lpWPUModifyIFSHandle)
        return s;
    SOCKET handle = g_upcalls.lpWPUModifyIFSHandle(catalogEntryId, s, lpErrno);
    if (handle == INVALID_SOCKET)
        closesocket(s);
    return handle;
}

SOCKET WSPAPI BaseAccept(SOCKET s, sockaddr *addr, LPINT addrlen, LPCONDITIONPROC condition,
                         DWORD_PTR callbackData, LPINT lpErrno)
{
    SOCKET accepted = condition ? WSAAccept(s, addr, addrlen, condition, callbackData)
                                : accept(s, addr, addrlen);
    return Announce(g_catalogEntryId, CheckedSocket(accepted, lpErrno), lpErrno);
}

INT WSPAPI BaseAddressToString(LPSOCKADDR address, DWORD addressLength, LPWSAPROTOCOL_INFOW,
                               LPWSTR text, LPDWORD textLength, LPINT lpErrno)
{
    return Checked(WSAAddressToStringW(address, addressLength, nullptr, text, textLength), lpErrno);
}

int WSPAPI BaseAsyncSelect(SOCKET s, HWND window, unsigned int message, __LONG32 events, LPINT lpErrno)
{
    return Checked(WSAAsyncSelect(s, window, message, events), lpErrno);
}

int WSPAPI BaseBind(SOCKET s, const sockaddr *name, int namelen, LPINT lpErrno)
{
    return Checked(bind(s, name, namelen), lpErrno);
}

int WSPAPI BaseCancelBlockingCall(LPINT)
{
    return 0;
}

int WSPAPI BaseCleanup(LPINT lpErrno)
{
    return Checked(WSACleanup(), lpErrno);
}

int WSPAPI BaseCloseSocket(SOCKET s, LPINT lpErrno)
{
    return Checked(closesocket(s), lpErrno);
}

int WSPAPI BaseConnect(SOCKET s, const sockaddr *name, int namelen, LPWSABUF callerData,
                       LPWSABUF calleeData, LPQOS sqos, LPQOS gqos, LPINT lpErrno)
{
    return Checked(WSAConnect(s, name, namelen, callerData, calleeData, sqos, gqos), lpErrno);
}

int WSPAPI BaseDuplicateSocket(SOCKET s, DWORD processId, LPWSAPROTOCOL_INFOW info, LPINT lpErrno)
{
    return Checked(WSADuplicateSocketW(s, processId, info), lpErrno);
}

int WSPAPI BaseEnumNetworkEvents(SOCKET s, WSAEVENT event, LPWSANETWORKEVENTS events, LPINT lpErrno)
{
    return Checked(WSAEnumNetworkEvents(s, event, events), lpErrno);
}

int WSPAPI BaseEventSelect(SOCKET s, WSAEVENT event, __LONG32 events, LPINT lpErrno)
{
    return Checked(WSAEventSelect(s, event, events), lpErrno);
}

WINBOOL WSPAPI BaseGetOverlappedResult(SOCKET s, LPWSAOVERLAPPED overlapped, LPDWORD transferred,
                                       WINBOOL wait, LPDWORD flags, LPINT lpErrno)
{
    return CheckedBool(WSAGetOverlappedResult(s, overlapped, transferred, wait, flags), lpErrno);
}

int WSPAPI BaseGetPeerName(SOCKET s, sockaddr *name, LPINT namelen, LPINT lpErrno)
{
    return Checked(getpeername(s, name, namelen), lpErrno);
}

int WSPAPI BaseGetSockName(SOCKET s, sockaddr *name, LPINT namelen, LPINT lpErrno)
{
    return Checked(getsockname(s, name, namelen), lpErrno);
}

int WSPAPI BaseGetSockOpt(SOCKET s, int level, int option, char *value, LPINT length, LPINT lpErrno)
{
    return Checked(getsockopt(s, level, option, value, length), lpErrno);
}

WINBOOL WSPAPI BaseGetQOSByName(SOCKET s, LPWSABUF name, LPQOS qos, LPINT lpErrno)
{
    return CheckedBool(WSAGetQOSByName(s, name, qos), lpErrno);
}

int WSPAPI BaseIoctl(SOCKET s, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPWSAOVERLAPPED overlapped,
                     LPWSAOVERLAPPED_COMPLETION_ROUTINE completion, LPWSATHREADID, LPINT lpErrno)
{
    return Checked(WSAIoctl(s, code, in, inSize, out, outSize, returned, overlapped, completion), lpErrno);
}

SOCKET WSPAPI BaseJoinLeaf(SOCKET s, const sockaddr *name, int namelen, LPWSABUF callerData,
                           LPWSABUF calleeData, LPQOS sqos, LPQOS gqos, DWORD flags, LPINT lpErrno)
{
    return CheckedSocket(WSAJoinLeaf(s, name, namelen, callerData, calleeData, sqos, gqos, flags), lpErrno);
}

int WSPAPI BaseListen(SOCKET s, int backlog, LPINT lpErrno)
{
    return Checked(listen(s, backlog), lpErrno);
}

int WSPAPI BaseRecv(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                    LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                    LPWSATHREADID, LPINT lpErrno)
{
    return Checked(WSARecv(s, buffers, count, received, flags, overlapped, completion), lpErrno);
}

int WSPAPI BaseRecvDisconnect(SOCKET s, LPWSABUF data, LPINT lpErrno)
{
    return Checked(WSARecvDisconnect(s, data), lpErrno);
}

int WSPAPI BaseRecvFrom(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD received, LPDWORD flags,
                        sockaddr *from, LPINT fromlen, LPWSAOVERLAPPED overlapped,
                        LPWSAOVERLAPPED_COMPLETION_ROUTINE completion, LPWSATHREADID, LPINT lpErrno)
{
    return Checked(WSARecvFrom(s, buffers, count, received, flags, from, fromlen, overlapped, completion),
                   lpErrno);
}

int WSPAPI BaseSelect(int nfds, fd_set *readfds, fd_set *writefds, fd_set *exceptfds,
                      const PTIMEVAL timeout, LPINT lpErrno)
{
    return Checked(select(nfds, readfds, writefds, exceptfds, timeout), lpErrno);
}

int WSPAPI BaseSend(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags,
                    LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion,
                    LPWSATHREADID, LPINT lpErrno)
{
    return Checked(WSASend(s, buffers, count, sent, flags, overlapped, completion), lpErrno);
}

int WSPAPI BaseSendDisconnect(SOCKET s, LPWSABUF data, LPINT lpErrno)
{
    return Checked(WSASendDisconnect(s, data), lpErrno);
}

int WSPAPI BaseSendTo(SOCKET s, LPWSABUF buffers, DWORD count, LPDWORD sent, DWORD flags,
                      const sockaddr *to, int tolen, LPWSAOVERLAPPED overlapped,
                      LPWSAOVERLAPPED_COMPLETION_ROUTINE completion, LPWSATHREADID, LPINT lpErrno)
{
    return Checked(WSASendTo(s, buffers, count, sent, flags, to, tolen, overlapped, completion), lpErrno);
}

int WSPAPI BaseSetSockOpt(SOCKET s, int level, int option, const char *value, int length, LPINT lpErrno)
{
    return Checked(setsockopt(s, level, option, value, length), lpErrno);
}

int WSPAPI BaseShutdown(SOCKET s, int how, LPINT lpErrno)
{
    return Checked(shutdown(s, how), lpErrno);
}

// The catalog's protocol information belongs to the layer above; the
// process's own Winsock picks its provider from the three numbers alone.
SOCKET WSPAPI BaseSocket(int af, int type, int protocol, LPWSAPROTOCOL_INFOW info, GROUP group,
                         DWORD flags, LPINT lpErrno)
{
    DWORD catalogEntryId = g_catalogEntryId;
    if (info) {
        catalogEntryId = info->dwCatalogEntryId;
        if (af == FROM_PROTOCOL_INFO)
            af = info->iAddressFamily;
        if (type == FROM_PROTOCOL_INFO)
            type = info->iSocketType;
        if (protocol == FROM_PROTOCOL_INFO)
            protocol = info->iProtocol;
    }
    SOCKET s = WSASocketW(af, type, protocol, nullptr, group, flags);
    return Announce(catalogEntryId, CheckedSocket(s, lpErrno), lpErrno);
}

INT WSPAPI BaseStringToAddress(LPWSTR text, INT family, LPWSAPROTOCOL_INFOW, LPSOCKADDR address,
                               LPINT length, LPINT lpErrno)
{
    return Checked(WSAStringToAddressW(text, family, nullptr, address, length), lpErrno);
}

const WSPPROC_TABLE kProcedures = {
    BaseAccept, BaseAddressToString, BaseAsyncSelect, BaseBind, BaseCancelBlockingCall,
    BaseCleanup, BaseCloseSocket, BaseConnect, BaseDuplicateSocket, BaseEnumNetworkEvents,
    BaseEventSelect, BaseGetOverlappedResult, BaseGetPeerName, BaseGetSockName, BaseGetSockOpt,
    BaseGetQOSByName, BaseIoctl, BaseJoinLeaf, BaseListen, BaseRecv,
    BaseRecvDisconnect, BaseRecvFrom, BaseSelect, BaseSend, BaseSendDisconnect,
    BaseSendTo, BaseSetSockOpt, BaseShutdown, BaseSocket, BaseStringToAddress,
};

const WORD kVersion = MAKEWORD(2, 2);

} // namespace

// Refuses callers that ask for less than version 2.2, as base providers do.
extern "C" int WSPAPI WSPStartup(WORD versionRequested, LPWSPDATA data, LPWSAPROTOCOL_INFOW info,
                                 WSPUPCALLTABLE upcalls, LPWSPPROC_TABLE procedures)
{
    if (LOBYTE(versionRequested) < 2 || (LOBYTE(versionRequested) == 2 && HIBYTE(versionRequested) < 2))
        return WSAVERNOTSUPPORTED;
    WSADATA wsa;
    int error = WSAStartup(kVersion, &wsa);
    if (error != 0)
        return error;

    g_upcalls = upcalls;
    g_catalogEntryId = info ? info->dwCatalogEntryId : 0;
    data->wVersion = kVersion;
    data->wHighVersion = kVersion;
    wcscpy(data->szDescription, L"Base TCP/IP provider");
    *procedures = kProcedures;
    return 0;
}
