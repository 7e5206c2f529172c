#include "CatalogRouter.h"

#include <cstring>
#include "RouterUpcalls.h"
#include "WinsockCatalog.h"

namespace {

// Turns a provider's (result, error) pair into Winsock's convention.
int Reported(int result, int error)
{
    if (result == SOCKET_ERROR)
        WSASetLastError(error);
    return result;
}

SOCKET ReportedSocket(SOCKET s, int error)
{
    if (s == INVALID_SOCKET)
        WSASetLastError(error);
    return s;
}

WSATHREADID CallingThread()
{
    WSATHREADID thread = {GetCurrentThread(), 0};
    return thread;
}

} // namespace

CCatalogRouter::~CCatalogRouter()
{
    for (Entry &entry : m_entries) {
        int error = 0;
        if (entry.Started && entry.StartError == 0)
            entry.Procedures.lpWSPCleanup(&error);
    }
}

bool CCatalogRouter::Load()
{
    std::vector<PackedCatalogItem> items;
    if (!ReadWinsockCatalog(items))
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    m_entries.clear();
    for (const PackedCatalogItem &item : items) {
        Entry entry = {};
        entry.Item = item;
        m_entries.push_back(entry);
    }
    return true;
}

int CCatalogRouter::Start(Entry &entry)
{
    if (entry.Started)
        return entry.StartError;
    entry.Started = true;
    entry.StartError = WSAEPROVIDERFAILEDINIT;

    char path[MAX_PATH];
    DWORD length = ExpandEnvironmentStringsA(entry.Item.LibraryPath, path, sizeof path);
    if (length == 0 || length > sizeof path)
        return entry.StartError;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return entry.StartError;
    // void (*)() is the type that any procedure address may pass through.
    LPWSPSTARTUP startup =
        reinterpret_cast<LPWSPSTARTUP>(reinterpret_cast<void (*)()>(GetProcAddress(library, "WSPStartup")));
    if (!startup)
        return entry.StartError;

    WSPDATA data = {};
    entry.StartError = startup(MAKEWORD(2, 2), &data, &entry.Item.ProtocolInfo, RouterUpcalls(),
                               &entry.Procedures);
    return entry.StartError;
}

CCatalogRouter::Entry *CCatalogRouter::EntryFor(int af, int type, int protocol, int &error)
{
    for (Entry &entry : m_entries) {
        if (CatalogItemServes(entry.Item, af, type, protocol)) {
            error = Start(entry);
            return error == 0 ? &entry : nullptr;
        }
    }
    error = WSAEAFNOSUPPORT;
    return nullptr;
}

CCatalogRouter::Entry *CCatalogRouter::EntryOf(SOCKET s)
{
    std::lock_guard<std::mutex> hold(m_lock);
    auto found = m_sockets.find(s);
    if (found == m_sockets.end()) {
        WSASetLastError(WSAENOTSOCK);
        return nullptr;
    }
    return &m_entries[found->second];
}

SOCKET CCatalogRouter::Socket(int af, int type, int protocol, DWORD flags)
{
    std::lock_guard<std::mutex> hold(m_lock);
    int error = 0;
    Entry *entry = EntryFor(af, type, protocol, error);
    if (!entry)
        return ReportedSocket(INVALID_SOCKET, error);
    SOCKET s = entry->Procedures.lpWSPSocket(af, type, protocol, &entry->Item.ProtocolInfo, 0, flags,
                                             &error);
    if (s != INVALID_SOCKET)
        m_sockets[s] = entry - m_entries.data();
    return ReportedSocket(s, error);
}

int CCatalogRouter::Bind(SOCKET s, const sockaddr *name, int namelen)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    int result = entry->Procedures.lpWSPBind(s, name, namelen, &error);
    return Reported(result, error);
}

int CCatalogRouter::Listen(SOCKET s, int backlog)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    int result = entry->Procedures.lpWSPListen(s, backlog, &error);
    return Reported(result, error);
}

SOCKET CCatalogRouter::Accept(SOCKET s, sockaddr *address, int *addressLength)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return INVALID_SOCKET;
    int error = 0;
    SOCKET accepted = entry->Procedures.lpWSPAccept(s, address, addressLength, nullptr, 0, &error);
    if (accepted != INVALID_SOCKET) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_sockets[accepted] = entry - m_entries.data();
    } else if (error == 0) {
        // A provider that refuses a connection closes it and may leave no code.
        error = WSAECONNABORTED;
    }
    return ReportedSocket(accepted, error);
}

int CCatalogRouter::Connect(SOCKET s, const sockaddr *name, int namelen)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    int result = entry->Procedures.lpWSPConnect(s, name, namelen, nullptr, nullptr, nullptr, nullptr, &error);
    return Reported(result, error);
}

int CCatalogRouter::Send(SOCKET s, const char *data, int length)
{
    return SendTo(s, data, length, nullptr, 0);
}

int CCatalogRouter::SendTo(SOCKET s, const char *data, int length, const sockaddr *to, int toLength)
{
    WSABUF buffer = {static_cast<ULONG>(length), const_cast<char *>(data)};
    return SendBuffers(s, &buffer, 1, to, toLength);
}

int CCatalogRouter::SendBuffers(SOCKET s, WSABUF *buffers, DWORD count, const sockaddr *to, int toLength)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    DWORD sent = 0;
    int error = 0;
    WSATHREADID thread = CallingThread();
    int result = to ? entry->Procedures.lpWSPSendTo(s, buffers, count, &sent, 0, to, toLength, nullptr, nullptr,
                                                    &thread, &error)
                    : entry->Procedures.lpWSPSend(s, buffers, count, &sent, 0, nullptr, nullptr, &thread, &error);
    return result == SOCKET_ERROR ? Reported(result, error) : static_cast<int>(sent);
}

int CCatalogRouter::Recv(SOCKET s, char *data, int length)
{
    return RecvFrom(s, data, length, nullptr, nullptr);
}

int CCatalogRouter::RecvFrom(SOCKET s, char *data, int length, sockaddr *from, int *fromLength)
{
    WSABUF buffer = {static_cast<ULONG>(length), data};
    DWORD received = 0;
    DWORD flags = 0;
    int result = from ? RecvFromOverlapped(s, &buffer, 1, &received, &flags, from, fromLength, nullptr, nullptr)
                      : RecvOverlapped(s, &buffer, 1, &received, &flags, nullptr, nullptr);
    return result == SOCKET_ERROR ? result : static_cast<int>(received);
}

int CCatalogRouter::RecvOverlapped(SOCKET s, WSABUF *buffers, DWORD count, DWORD *received, DWORD *flags,
                                   WSAOVERLAPPED *overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE completion)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    WSATHREADID thread = CallingThread();
    int result = entry->Procedures.lpWSPRecv(s, buffers, count, received, flags, overlapped, completion,
                                             &thread, &error);
    return Reported(result, error);
}

int CCatalogRouter::RecvFromOverlapped(SOCKET s, WSABUF *buffers, DWORD count, DWORD *received,
                                       DWORD *flags, sockaddr *from, int *fromLength,
                                       WSAOVERLAPPED *overlapped,
                                       LPWSAOVERLAPPED_COMPLETION_ROUTINE completion)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    WSATHREADID thread = CallingThread();
    int result = entry->Procedures.lpWSPRecvFrom(s, buffers, count, received, flags, from, fromLength,
                                                 overlapped, completion, &thread, &error);
    return Reported(result, error);
}

int CCatalogRouter::CloseSocket(SOCKET s)
{
    Entry *entry = EntryOf(s);
    if (!entry)
        return SOCKET_ERROR;
    int error = 0;
    int result = entry->Procedures.lpWSPCloseSocket(s, &error);
    if (result == 0) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_sockets.erase(s);
    }
    return Reported(result, error);
}
