#include "SocketFilter.h"

#include "ProviderProcess.h"
#include "ReadableMemory.h"
#include "Sniffers.h"

namespace {

CSocketFilter g_filter;

// The IPv4 address of a name the application passed, or null when the name
// is missing, too short, cannot be read or is of another family.
const sockaddr_in *Inet(const sockaddr *name, int length)
{
    if (length < static_cast<int>(sizeof(sockaddr_in)) || !IsReadableMemory(name, sizeof(sockaddr_in)) ||
        name->sa_family != AF_INET)
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

} // namespace

CSocketFilter &SocketFilter()
{
    return g_filter;
}

BYTE CSocketFilter::Decide(OwnSocket &own)
{
    m_sessions.Mirror(own.Record, own.SharedIndex, own.Socket);
    SessionRecord *shared = m_sessions.OwnedRecord(own.SharedIndex, own.Socket);
    return BYTE(m_acl.Evaluate(own.Record, shared));
}

// The own record starts as the shared one does, or alone when the table
// has no record for the socket. Every live record of the process has an
// entry here, so the table is looked through only for a free record.
void CSocketFilter::Track(SOCKET s, BYTE kind)
{
    OwnSocketRef previous = m_own.Find(s);
    int index = previous && m_sessions.OwnedRecord(previous->SharedIndex, s)
                    ? int(SESSION_ERR_EXISTS)
                    : m_sessions.RegisterUnrecorded(s, kind, ProcessProgramPath());
    SessionRecord record = {};
    if (SessionRecord *shared = m_sessions.GetRecord(index))
        record = *shared;
    else
        CSessionTable::Initialise(record, -1, s, kind, ProcessProgramPath());
    m_own.Add(s, index < 0 ? -1 : index, record);
}

void CSocketFilter::OnSocket(SOCKET s, int af, int type, int protocol)
{
    if (af == AF_INET)
        Track(s, ProtocolKindOf(type, protocol));
}

void CSocketFilter::OnCloseSocket(SOCKET s)
{
    OwnSocketRef own = m_own.Remove(s);
    if (!own) {
        m_sessions.Unregister(s);
        return;
    }
    m_sessions.Mirror(own->Record, own->SharedIndex, s);
    if (SessionRecord *shared = m_sessions.OwnedRecord(own->SharedIndex, s))
        m_sessions.CloseRecord(shared);
}

// Only a datagram socket is decided at bind: bound to a port it serves.
BYTE CSocketFilter::OnBind(SOCKET s, const sockaddr *name, int namelen)
{
    OwnSocketRef own = m_own.Find(s);
    if (!own)
        return ACTION_PASS;
    own->MayHaveName = true;
    if (own->Record.Protocol != PROTO_UDP)
        return ACTION_PASS;
    const sockaddr_in *address = Inet(name, namelen);
    BYTE direction = address && address->sin_port != 0 ? DIR_LISTEN : DIR_UNKNOWN;
    CSessionTable::UpdateAddress(own->Record, direction, 0, 0, true);
    return Decide(*own);
}

BYTE CSocketFilter::OnListen(SOCKET s)
{
    OwnSocketRef own = m_own.Find(s);
    if (!own || own->Record.Protocol != PROTO_TCP)
        return ACTION_PASS;
    // The record's own local port names the service; no other is needed.
    CSessionTable::UpdateAddress(own->Record, DIR_LISTEN, 0, 0, true, own->MayHaveName);
    return Decide(*own);
}

BYTE CSocketFilter::OnConnect(SOCKET s, const sockaddr *name, int namelen)
{
    OwnSocketRef own = m_own.Find(s);
    if (!own)
        return ACTION_PASS;
    const sockaddr_in *address = Inet(name, namelen);
    if (address)
        CSessionTable::UpdateAddress(own->Record, DIR_OUTBOUND, ntohs(address->sin_port),
                                     address->sin_addr.s_addr, false, own->MayHaveName);
    // The next provider connects the socket once the call passes.
    own->MayHaveName = true;
    return Decide(*own);
}

// The accepted socket's record names the local service port as its remote
// port, so that an inbound connection is known by the service it reached.
BYTE CSocketFilter::OnAccept(SOCKET listener, SOCKET accepted)
{
    if (!m_own.Find(listener))
        return ACTION_PASS;
    Track(accepted, PROTO_TCP);
    OwnSocketRef own = m_own.Find(accepted);
    if (!own)
        return ACTION_PASS;
    own->MayHaveName = true;
    sockaddr_in peer = {};
    int length = sizeof peer;
    if (getpeername(accepted, reinterpret_cast<sockaddr *>(&peer), &length) != 0)
        peer.sin_addr.s_addr = 0;
    WORD localPort = CSessionTable::FillLocalPort(own->Record);
    CSessionTable::UpdateAddress(own->Record, DIR_INBOUND, localPort, peer.sin_addr.s_addr, false);
    return Decide(*own);
}

BYTE CSocketFilter::SendDecision(OwnSocket &own, const WSABUF &data)
{
    CSessionTable::AddTraffic(own.Record, DIR_UNKNOWN, nullptr, 0, true, own.MayHaveName);
    SniffData(own.Record, data.buf, static_cast<int>(data.len), true);
    return Decide(own);
}

BYTE CSocketFilter::OnSend(SOCKET s, const WSABUF &data, OwnSocketRef *entry)
{
    OwnSocketRef own = m_own.Find(s);
    if (entry)
        *entry = own;
    return own ? SendDecision(*own, data) : BYTE(ACTION_PASS);
}

BYTE CSocketFilter::OnSendTo(SOCKET s, const sockaddr *to, int tolen, const WSABUF &data, OwnSocketRef *entry)
{
    OwnSocketRef own = m_own.Find(s);
    if (entry)
        *entry = own;
    if (!own)
        return ACTION_PASS;
    const sockaddr_in *target = Inet(to, tolen);
    if (target && own->Record.Protocol == PROTO_UDP) {
        BYTE direction = target->sin_addr.s_addr == INADDR_BROADCAST ? DIR_BROADCAST : DIR_OUTBOUND;
        CSessionTable::UpdateAddress(own->Record, direction, ntohs(target->sin_port), target->sin_addr.s_addr,
                                     false, own->MayHaveName);
    }
    return SendDecision(*own, data);
}

// Only the bytes that arrived are sniffed, never what the buffer held before.
BYTE CSocketFilter::RecvDecision(OwnSocket &own, const WSABUF &data, DWORD count)
{
    CSessionTable::AddTraffic(own.Record, DIR_UNKNOWN, nullptr, static_cast<int>(count), false, own.MayHaveName);
    DWORD received = count < data.len ? count : data.len;
    SniffData(own.Record, data.buf, static_cast<int>(received), false);
    return Decide(own);
}

BYTE CSocketFilter::OnRecv(SOCKET s, const WSABUF &data, DWORD count)
{
    OwnSocketRef own = m_own.Find(s);
    return own ? RecvDecision(*own, data, count) : BYTE(ACTION_PASS);
}

// The sender's length is read after the receive, when it holds the length
// of the address written.
BYTE CSocketFilter::OnRecvFrom(SOCKET s, const sockaddr *from, const int *fromlen, const WSABUF &data,
                               DWORD count)
{
    OwnSocketRef own = m_own.Find(s);
    if (!own)
        return ACTION_PASS;
    const sockaddr_in *sender = IsReadableMemory(fromlen, sizeof *fromlen) ? Inet(from, *fromlen) : nullptr;
    if (sender && own->Record.Protocol == PROTO_UDP)
        CSessionTable::UpdateAddress(own->Record, DIR_INBOUND, ntohs(sender->sin_port), sender->sin_addr.s_addr,
                                     false, own->MayHaveName);
    return RecvDecision(*own, data, count);
}

void CSocketFilter::CountSent(const OwnSocketRef &entry, DWORD count)
{
    if (!entry)
        return;
    CSessionTable::AddTraffic(entry->Record, DIR_UNKNOWN, nullptr, static_cast<int>(count), true,
                              entry->MayHaveName);
    m_sessions.Mirror(entry->Record, entry->SharedIndex, entry->Socket);
}
