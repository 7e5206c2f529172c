#include "SocketFilter.h"

#include "ProviderProcess.h"

namespace {

CSocketFilter g_filter;

const sockaddr_in *Inet(const sockaddr *name)
{
    return name && name->sa_family == AF_INET ? reinterpret_cast<const sockaddr_in *>(name) : nullptr;
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
BYTE CSocketFilter::OnBind(SOCKET s, const sockaddr *name)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record || record->Protocol != PROTO_UDP)
        return ACTION_PASS;
    const sockaddr_in *address = Inet(name);
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
    const sockaddr_in *address = namelen >= static_cast<int>(sizeof(sockaddr_in)) ? Inet(name) : nullptr;
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

BYTE CSocketFilter::OnSend(SOCKET s)
{
    int index = m_sessions.Find(s);
    if (!m_sessions.GetRecord(index))
        return ACTION_PASS;
    m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, 0, true);
    return Decide(index);
}

BYTE CSocketFilter::OnSendTo(SOCKET s, const sockaddr *to)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    const sockaddr_in *target = Inet(to);
    if (target && record->Protocol == PROTO_UDP) {
        BYTE direction = target->sin_addr.s_addr == INADDR_BROADCAST ? DIR_BROADCAST : DIR_OUTBOUND;
        m_sessions.UpdateAddress(index, direction, ntohs(target->sin_port), target->sin_addr.s_addr, false);
    }
    return OnSend(s);
}

BYTE CSocketFilter::OnRecv(SOCKET s, DWORD count)
{
    int index = m_sessions.Find(s);
    if (!m_sessions.GetRecord(index))
        return ACTION_PASS;
    m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, static_cast<int>(count), false);
    return Decide(index);
}

BYTE CSocketFilter::OnRecvFrom(SOCKET s, const sockaddr *from, DWORD count)
{
    int index = m_sessions.Find(s);
    SessionRecord *record = m_sessions.GetRecord(index);
    if (!record)
        return ACTION_PASS;
    const sockaddr_in *sender = Inet(from);
    if (sender && record->Protocol == PROTO_UDP)
        m_sessions.UpdateAddress(index, DIR_INBOUND, ntohs(sender->sin_port), sender->sin_addr.s_addr, false);
    return OnRecv(s, count);
}

void CSocketFilter::CountSent(SOCKET s, DWORD count)
{
    int index = m_sessions.Find(s);
    if (index >= 0)
        m_sessions.AddTraffic(index, DIR_UNKNOWN, nullptr, static_cast<int>(count), true);
}
