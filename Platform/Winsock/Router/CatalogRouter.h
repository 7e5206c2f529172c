// Plays Winsock's part for the process where the platform's own Winsock does
// not load providers from the catalog: it reads the catalog, starts the
// provider that the entry for a socket's family and type names (once per
// entry, as Winsock does), and sends each socket call through the procedure
// table that the provider returned. Results and errors are Winsock's:
// SOCKET_ERROR or INVALID_SOCKET with the error in WSAGetLastError.
#pragma once

#include <winsock2.h>
#include <ws2spi.h>
#include <map>
#include <mutex>
#include <vector>
#include "PackedCatalogItem.h"

class CCatalogRouter {
public:
    CCatalogRouter() = default;
    // Calls WSPCleanup of every provider it started.
    ~CCatalogRouter();
    CCatalogRouter(const CCatalogRouter &) = delete;
    CCatalogRouter &operator=(const CCatalogRouter &) = delete;

    // Reads the catalog; false when there is none.
    bool Load();

    SOCKET Socket(int af, int type, int protocol, DWORD flags = WSA_FLAG_OVERLAPPED);
    int Bind(SOCKET s, const sockaddr *name, int namelen);
    int Listen(SOCKET s, int backlog);
    SOCKET Accept(SOCKET s, sockaddr *address, int *addressLength);
    int Connect(SOCKET s, const sockaddr *name, int namelen);
    // The byte count sent or received, or SOCKET_ERROR.
    int Send(SOCKET s, const char *data, int length);
    int Recv(SOCKET s, char *data, int length);
    int SendTo(SOCKET s, const char *data, int length, const sockaddr *to, int toLength);
    // A send of the buffers as given (a send-to where there is a target).
    int SendBuffers(SOCKET s, WSABUF *buffers, DWORD count, const sockaddr *to = nullptr, int toLength = 0);
    int RecvFrom(SOCKET s, char *data, int length, sockaddr *from, int *fromLength);
    // Overlapped receives; a completion routine runs when the calling thread
    // waits alertably. 0, or SOCKET_ERROR with WSA_IO_PENDING while pending.
    int RecvOverlapped(SOCKET s, WSABUF *buffers, DWORD count, DWORD *received, DWORD *flags,
                       WSAOVERLAPPED *overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion);
    int RecvFromOverlapped(SOCKET s, WSABUF *buffers, DWORD count, DWORD *received, DWORD *flags,
                           sockaddr *from, int *fromLength, WSAOVERLAPPED *overlapped,
                           LPWSAOVERLAPPED_COMPLETION_ROUTINE completion);
    int CloseSocket(SOCKET s);

private:
    struct Entry {
        PackedCatalogItem Item;
        bool Started;
        int StartError; // the provider's WSPStartup result, once started
        WSPPROC_TABLE Procedures;
    };

    Entry *EntryFor(int af, int type, int protocol, int &error);
    int Start(Entry &entry);
    // The entry that made the socket, or null (WSAENOTSOCK set).
    Entry *EntryOf(SOCKET s);

    std::mutex m_lock;
    std::vector<Entry> m_entries;
    std::map<SOCKET, size_t> m_sockets;
};
