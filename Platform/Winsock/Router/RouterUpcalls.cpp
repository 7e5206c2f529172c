#include "RouterUpcalls.h"

namespace {

WINBOOL WSPAPI UpcallCloseEvent(WSAEVENT event, LPINT lpErrno)
{
    if (WSACloseEvent(event))
        return TRUE;
    *lpErrno = WSAGetLastError();
    return FALSE;
}

// The router hands out only the handles of installable file system
// providers, so it has no handles of its own to make, close or look up.
int WSPAPI UpcallCloseSocketHandle(SOCKET, LPINT lpErrno)
{
    *lpErrno = WSAEOPNOTSUPP;
    return SOCKET_ERROR;
}

SOCKET WSPAPI UpcallCreateSocketHandle(DWORD, DWORD_PTR, LPINT lpErrno)
{
    *lpErrno = WSAEOPNOTSUPP;
    return INVALID_SOCKET;
}

int WSPAPI UpcallQuerySocketHandleContext(SOCKET, PDWORD_PTR, LPINT lpErrno)
{
    *lpErrno = WSAEOPNOTSUPP;
    return SOCKET_ERROR;
}

WSAEVENT WSPAPI UpcallCreateEvent(LPINT lpErrno)
{
    WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT)
        *lpErrno = WSAGetLastError();
    return event;
}

int WSPAPI UpcallFDIsSet(SOCKET s, fd_set *set)
{
    return __WSAFDIsSet(s, set);
}

int WSPAPI UpcallGetProviderPath(LPGUID, WCHAR *, LPINT, LPINT lpErrno)
{
    *lpErrno = WSAEINVAL;
    return SOCKET_ERROR;
}

SOCKET WSPAPI UpcallModifyIFSHandle(DWORD, SOCKET proposed, LPINT)
{
    return proposed;
}

WINBOOL WSPAPI UpcallPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(window, message, wParam, lParam);
}

int WSPAPI UpcallQueryBlockingCallback(DWORD, LPBLOCKINGCALLBACK *callback, PDWORD_PTR context, LPINT)
{
    *callback = nullptr;
    *context = 0;
    return 0;
}

int WSPAPI UpcallQueueApc(LPWSATHREADID thread, LPWSAUSERAPC apc, DWORD_PTR context, LPINT lpErrno)
{
    if (QueueUserAPC(reinterpret_cast<PAPCFUNC>(apc), thread->ThreadHandle, context))
        return 0;
    *lpErrno = WSAEINVAL;
    return SOCKET_ERROR;
}

WINBOOL WSPAPI UpcallResetEvent(WSAEVENT event, LPINT lpErrno)
{
    if (WSAResetEvent(event))
        return TRUE;
    *lpErrno = WSAGetLastError();
    return FALSE;
}

WINBOOL WSPAPI UpcallSetEvent(WSAEVENT event, LPINT lpErrno)
{
    if (WSASetEvent(event))
        return TRUE;
    *lpErrno = WSAGetLastError();
    return FALSE;
}

int WSPAPI UpcallOpenCurrentThread(LPWSATHREADID thread, LPINT lpErrno)
{
    HANDLE process = GetCurrentProcess();
    if (DuplicateHandle(process, GetCurrentThread(), process, &thread->ThreadHandle, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
        thread->Reserved = 0;
        return 0;
    }
    *lpErrno = WSASYSCALLFAILURE;
    return SOCKET_ERROR;
}

int WSPAPI UpcallCloseThread(LPWSATHREADID thread, LPINT lpErrno)
{
    if (CloseHandle(thread->ThreadHandle))
        return 0;
    *lpErrno = WSASYSCALLFAILURE;
    return SOCKET_ERROR;
}

const WSPUPCALLTABLE kUpcalls = {
    UpcallCloseEvent, UpcallCloseSocketHandle, UpcallCreateEvent, UpcallCreateSocketHandle,
    UpcallFDIsSet, UpcallGetProviderPath, UpcallModifyIFSHandle, UpcallPostMessage,
    UpcallQueryBlockingCallback, UpcallQuerySocketHandleContext, UpcallQueueApc,
    UpcallResetEvent, UpcallSetEvent, UpcallOpenCurrentThread, UpcallCloseThread,
};

} // namespace

const WSPUPCALLTABLE &RouterUpcalls()
{
    return kUpcalls;
}
