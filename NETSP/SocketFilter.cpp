#include "SocketFilter.h"

#include "ProviderProcess.h"
#include "Sniffers.h"

namespace {

CSocketFilter g_filter;

// The IPv4 address of a name the application passed, or null when the name
// is missing, too short or of another family.
const sockaddr_in *Inet(const sockaddr *name, int length)
{
    if (!name || length < static_cast<int>(sizeof(sockaddr_in)) || name->sa_family != AF_INET)
        return nullptr;
    return reinterpret_cast<const sockaddr_in *>(name);
}

BYTE ProtocolKindOf(int type, int protocol)
{
    if (protocol == IPPROTO_TCP)
        return PROTO_TCP;
    if (protocol == IPPROTO_UDP)
        return PROTO_UDP;
    if (protocol != 0)
        return PROTO_OTHER;
    if (type == SOCK_STREAM)
        return PROTO_TCP;
    return type == SOCK_DGRAM ? PROTO_UDP : PROTO_OTHER;
}

WORD LocalPortOf(SOCKET s)
{
    sockaddr_in local = {};
    int length = sizeof local;
    if (getsockname(s, reinterpret_cast<sockaddr *>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

} // namespace

CSocketFilter &SocketFilter()
{
    return g_filter;
}

BYTE CSocketFilter::Decide(int index)
{
    SessionRecord *record = m_sessions.GetRecord(index);
    return record ? BYTE(m_acl.Evaluate(*record)) : BYTE(ACTION_PASS);
}

void CSocketFilter::OnSocket(SOCKET s, int af, int type, int protocol)
{
    if (af == AF_INET)
        m_sessions.Register(s, ProtocolKindOf(type, protocol), ProcessProgramPath());
}

void CSocketFilter::OnCloseSocket(SOCKET s)
{
    m_sessions.Unregister(s);
}

// Only a datagram socket is decided at bind: bound to a port it serves.
BYTE CSocketFilter::OnBind(SOCKET s, const sockaddr *name, int namelen)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record || record->Protocol != PROTO_UDP)
        return ACTION_PASS;
    const sockaddr_in *address = Inet(name, namelen);
    BYTE direction = address && address->sin_port != 0 ? DIR_LISTEN : DIR_UNKNOWN;
    m_sessions.UpdateAddress(index, direction, 0, 0, true);
    return Decide(index);
}

BYTE CSocketFilter::OnListen(SOCKET s)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record || record->Protocol != PROTO_TCP)
        return ACTION_PASS;
    m_sessions.UpdateAddress(index, DIR_LISTEN, LocalPortOf(s), 0, true);
    return Decide(index);
}

BYTE CSocketFilter::OnConnect(SOCKET s, const sockaddr *name, int namelen)
{
    int index = m_sessions.Find(s);
    if (!m_sessions.GetRecord(index))
        return ACTION_PASS;
    const sockaddr_in *address = Inet(name, namelen);
    if (address)
        m_sessions.UpdateAddress(index, DIR_OUTBOUND, ntohs(address->sin_port), address->sin_addr.s_addr, false);
    return Decide(index);
}

// The accepted socket's record names the local service port as its remote
// port, so that an inbound connection is known by the service it reached.
BYTE CSocketFilter::OnAccept(SOCKET listener, SOCKET accepted)
{
    if (m_sessions.Find(listener) < 0)
        return ACTION_PASS;
    int index = m_sessions.Register(accepted, PROTO_TCP, ProcessProgramPath());
    if (index < 0)
        return ACTION_PASS;
    sockaddr_in peer = {};
    int length = sizeof peer;
    if (getpeername(accepted, reinterpret_cast<sockaddr *>(&peer), &length) != 0)
        peer.sin_addr.s_addr = 0;
    m_sessions.UpdateAddress(index, DIR_INBOUND, LocalPortOf(accepted), peer.sin_addr.s_addr, false);
    return Decide(index);
}

BYTE CSocketFilter::OnSend(SOCKET s, const WSABUF &data)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, 0, true);
    SniffData(*record, data.buf, static_cast<int>(data.len), true);
    return Decide(index);
}

BYTE CSocketFilter::OnSendTo(SOCKET s, const sockaddr *to, int tolen, const WSABUF &data)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    const sockaddr_in *target = Inet(to, tolen);
    if (target && record->Protocol == PROTO_UDP) {
        BYTE direction = target->sin_addr.s_addr == INADDR_BROADCAST ? DIR_BROADCAST : DIR_OUTBOUND;
        m_sessions.UpdateAddress(index, direction, ntohs(target->sin_port), target->sin_addr.s_addr, false);
    }
    return OnSend(s, data);
}

// Only the bytes that arrived are sniffed, never what the buffer held before.
BYTE CSocketFilter::OnRecv(SOCKET s, const WSABUF &data, DWORD count)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, static_cast<int>(count), false);
    DWORD received = count < data.len ? count : data.len;
    SniffData(*record, data.buf, static_cast<int>(received), false);
    return Decide(index);
}

// The sender's length is read after the receive, when it holds the length
// of the address written.
BYTE CSocketFilter::OnRecvFrom(SOCKET s, const sockaddr *from, const int *fromlen, const WSABUF &data,
                               DWORD count)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    const sockaddr_in *sender = fromlen ? Inet(from, *fromlen) : nullptr;
    if (sender && record->Protocol == PROTO_UDP)
        m_sessions.UpdateAddress(index, DIR_INBOUND, ntohs(sender->sin_port), sender->sin_addr.s_addr, false);
    return OnRecv(s, data, count);
}

void CSocketFilter::CountSent(SOCKET s, DWORD count)
{
    int index = m_sessions.Find(s);
    if (index >= 0)
        m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, static_cast<int>(count), true);
}
