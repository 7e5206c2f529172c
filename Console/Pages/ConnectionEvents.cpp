#include "ConnectionEvents.h"

#include <algorithm>
#include <cstring>

#include "ConsoleMessages.h"
#include "FirewallTypes.h"
#include "ProgramLogs.h"
#include "SessionMonitor.h"

namespace {

// Copies a text of the shared tables, which any program may write, so that
// it ends within its buffer.
template <size_t N>
void CopyBounded(char (&target)[N], const char *source, size_t sourceSize)
{
    const size_t length = strnlen(source, std::min(sourceSize, N - 1));
    memcpy(target, source, length);
    target[length] = '\0';
}

struct FlagName {
    BYTE Bit;
    const char *Name;
};

// The order the log shows, which is not the order of the bits.
const FlagName kFlagNames[] = {
    {DRIVER_TCP_ACK, "ACK "}, {DRIVER_TCP_FIN, "FIN "}, {DRIVER_TCP_PSH, "PSH "},
    {DRIVER_TCP_RST, "RST "}, {DRIVER_TCP_SYN, "SYN "}, {DRIVER_TCP_URG, "URG "},
};

} // namespace

ConnectionSources PollerSources()
{
    return {&CSessionMonitor::GetSessionTable, &CSessionMonitor::GetSessionCount,
            &CSessionMonitor::GetTable1Entry,  &CSessionMonitor::GetTable1Count,
            &CSessionMonitor::GetTable2Entry,  &CSessionMonitor::GetQueueRecord};
}

void MakeFlagText(BYTE protocol, BYTE tcpFlags, char (&text)[PACKET_FLAG_TEXT_MAX + 1])
{
    text[0] = '\0';
    if (protocol == PROTO_UDP || protocol == PROTO_ICMP)
        return;
    size_t length = 0;
    for (const FlagName &flag : kFlagNames) {
        if (tcpFlags & flag.Bit) {
            memcpy(text + length, flag.Name, 4);
            length += 4;
        }
    }
    text[length] = '\0';
}

void DecodeTableEntry(const DriverTableRecord &entry, SessionRecord &record)
{
    memset(&record, 0, sizeof record);
    record.Socket = entry.Handle;
    record.Direction = entry.DirectionVerdict & 0x0F;
    record.Protocol = entry.Protocol;
    record.ProcessId = entry.ProcessId;
    record.BytesSent = static_cast<LONG>(entry.BytesSent);
    record.BytesReceived = static_cast<LONG>(entry.BytesReceived);
    record.RemoteIp = entry.RemoteIp;
    record.LocalPort = entry.LocalPort;
    record.RemotePort = entry.RemotePort;
    char name[sizeof entry.ImageName + 1];
    CopyBounded(name, entry.ImageName, sizeof entry.ImageName);
    if (strcmp(name, "SYSTEM") != 0)
        CopyBounded(record.Path, name, sizeof name);
}

LogRecord MakeLogRecord(const SessionRecord &record)
{
    LogRecord log;
    log.PID = static_cast<DWORD>(record.RuleId);
    log.Path = record.Path;
    log.Direction = record.Direction;
    log.LocalPort = record.LocalPort;
    log.RemoteIP = record.RemoteIp;
    log.WebSite = record.Detail;
    log.RemotePort = record.RemotePort;
    log.Protocol = record.Protocol;
    log.InCount = static_cast<DWORD>(record.BytesReceived);
    log.OutCount = static_cast<DWORD>(record.BytesSent);
    log.StartTime = record.StartTime;
    log.EndTime = record.EndTime;
    log.Action = record.Verdict;
    return log;
}

bool FilterAdmits(int filter, BYTE protocol)
{
    if (filter == FILTER_TCP)
        return protocol != PROTO_UDP;
    if (filter == FILTER_UDP)
        return protocol == PROTO_UDP;
    return true;
}

CConnectionEvents::CConnectionEvents(const ConnectionSources &sources, IConnectionView &view)
    : m_sources(sources), m_view(view), m_peers(), m_logs(NULL), m_filter(FILTER_ALL), m_treeFollows(true),
      m_markerPosted(false), m_receivedInBurst(0), m_sentInBurst(0)
{
}

void CConnectionEvents::Handle(WPARAM source, LPARAM index)
{
    if (index < 0)
        return;
    const DWORD at = static_cast<DWORD>(index);
    switch (source) {
    case SESSION_SOURCE_TABLE:
        HandleSession(at);
        break;
    case SESSION_SOURCE_TABLE1:
        if (at < m_sources.Table1Count()) {
            if (DriverTableRecord *entry = m_sources.Table1Entry(at))
                HandleTableEntry(*entry, false);
        }
        break;
    case SESSION_SOURCE_TABLE2:
        if (at < DRIVER_TABLE2_POLLED) {
            if (DriverTableRecord *entry = m_sources.Table2Entry(at))
                HandleTableEntry(*entry, true);
        }
        break;
    case SESSION_SOURCE_RING:
        if (at < DRIVER_RING_ENTRIES) {
            if (const DriverQueueRecord *event = m_sources.QueueRecord(static_cast<int>(at)))
                HandlePacket(*event);
        }
        break;
    default:
        break;
    }
}

// The record is read once into a copy whose texts end within their buffers;
// only State, Decided and Socket of the shared record are ever written.
void CConnectionEvents::HandleSession(DWORD index)
{
    SessionRecord *table = m_sources.SessionTable();
    if (!table || index >= m_sources.SessionCount() || index >= SESSION_RECORD_COUNT)
        return;
    SessionRecord &shared = table[index];
    SessionRecord record;
    memcpy(&record, const_cast<const SessionRecord *>(&shared), sizeof record);
    CopyBounded(record.Path, shared.Path, sizeof shared.Path);
    CopyBounded(record.Detail, shared.Detail, sizeof shared.Detail);

    // A record freed since the poller saw it (a late duplicate) is nobody's.
    if (record.Socket == 0) {
        ReportActive(record.RuleId, false);
        return;
    }
    if (IsGathered(&shared)) {
        ReportActive(record.RuleId, true);
        return;
    }
    if (record.State == SESSION_CLOSED) {
        if (record.Direction <= DIR_LISTEN) {
            Gather(shared, record);
            return; // reported when freed, at the end of the burst
        }
        Free(shared);
        ReportActive(record.RuleId, false);
        return;
    }
    if (record.State == SESSION_OPEN && record.Direction <= DIR_LISTEN)
        UpdateConnection(record);
    ReportActive(record.RuleId, true);
}

void CConnectionEvents::Gather(SessionRecord &shared, const SessionRecord &copy)
{
    m_view.RemoveConnection(copy);
    // What the connection moved since its last live pass, or in all when
    // it opened and closed between two passes, is counted now.
    CountBytes(copy, true);
    m_rows.push_back(MakeLogRecord(copy));
    m_closing.push_back({&shared, copy.Socket, copy.RuleId});
    if (copy.Verdict == ACTION_DENY && copy.ByRule == 1)
        m_view.RaiseAlert(copy);
}

bool CConnectionEvents::IsGathered(const SessionRecord *shared) const
{
    for (const Closing &closing : m_closing) {
        if (closing.Shared == shared)
            return true;
    }
    return false;
}

void CConnectionEvents::HandlePosted(HWND window, WPARAM source, LPARAM index)
{
    if (source == SESSION_SOURCE_BURST_END) {
        m_markerPosted = false;
        EndBurst();
        return;
    }
    Handle(source, index);
    if (!m_markerPosted && BurstHasAnEnd())
        m_markerPosted = PostMessage(window, WM_SESSION_UPDATE, SESSION_SOURCE_BURST_END, 0) != FALSE;
}

bool CConnectionEvents::BurstHasAnEnd() const
{
    return !m_closing.empty() || m_receivedInBurst || m_sentInBurst || !m_reportedInBurst.empty();
}

void CConnectionEvents::EndBurst()
{
    PostTraffic();
    LogAndFreeClosing();
    m_reportedInBurst.clear();
}

// A sum beyond what one message carries goes in several.
void CConnectionEvents::PostTraffic()
{
    const struct { WPARAM Which; ULONGLONG &Bytes; } directions[] = {
        {0, m_receivedInBurst},
        {1, m_sentInBurst},
    };
    for (const auto &direction : directions) {
        while (direction.Bytes) {
            const DWORD bytes = static_cast<DWORD>(std::min<ULONGLONG>(direction.Bytes, MAXDWORD));
            if (m_peers.Monitor)
                PostMessage(m_peers.Monitor, WM_TRAFFIC_DELTA, direction.Which, static_cast<LPARAM>(bytes));
            direction.Bytes -= bytes;
        }
    }
}

void CConnectionEvents::LogAndFreeClosing()
{
    if (m_closing.empty())
        return;
    if (m_logs)
        m_logs->AddLogsOfPass(m_rows); // a failure is in the error log; the records go all the same
    std::vector<Closing> closing;
    closing.swap(m_closing);
    m_rows.clear();
    for (const Closing &record : closing) {
        // Nobody else frees a closed record, so it still holds that socket.
        if (record.Shared->Socket == record.Socket)
            Free(*record.Shared);
        ReportActive(record.RuleId, false);
    }
}

// State, then Decided, then Socket: a provider claims a record whose Socket
// is 0, so that store comes last and the compiler may not move it.
void CConnectionEvents::Free(SessionRecord &shared)
{
    volatile SessionRecord &record = shared;
    record.State = SESSION_OPEN;
    record.Decided = 0;
    MemoryBarrier();
    record.Socket = 0;
}

void CConnectionEvents::UpdateConnection(const SessionRecord &record)
{
    CountBytes(record, false);
    if (m_treeFollows && FilterAdmits(m_filter, record.Protocol) && record.Path[0])
        m_view.ShowConnection(record);
}

// The counts a connection has reached minus those already counted go to the
// burst's sums, which the graphs get at its end; a connection seen for the
// first time counts whole. A finished connection's counter goes with it.
void CConnectionEvents::CountBytes(const SessionRecord &record, bool finished)
{
    DWORD received = static_cast<DWORD>(record.BytesReceived);
    DWORD sent = static_cast<DWORD>(record.BytesSent);
    auto found = FindCounter(record);
    if (found != m_counters.end()) {
        received -= found->Received;
        sent -= found->Sent;
        if (finished) {
            m_counters.erase(found);
        } else {
            found->Received = static_cast<DWORD>(record.BytesReceived);
            found->Sent = static_cast<DWORD>(record.BytesSent);
        }
    } else if (!finished) {
        m_counters.push_back({record.Socket, record.ProcessId, received, sent});
    }
    if (m_peers.Monitor) {
        m_receivedInBurst += received;
        m_sentInBurst += sent;
    }
}

std::vector<CConnectionEvents::Counter>::iterator CConnectionEvents::FindCounter(const SessionRecord &record)
{
    return std::find_if(m_counters.begin(), m_counters.end(), [&](const Counter &counter) {
        return counter.Socket == record.Socket && counter.ProcessId == record.ProcessId;
    });
}

void CConnectionEvents::ForgetCounter(const SessionRecord &record)
{
    auto found = FindCounter(record);
    if (found != m_counters.end())
        m_counters.erase(found);
}

void CConnectionEvents::HandleTableEntry(DriverTableRecord &entry, bool removed)
{
    SessionRecord record;
    DecodeTableEntry(entry, record);
    if (!removed) {
        UpdateConnection(record);
        return;
    }
    m_view.RemoveConnection(record);
    ForgetCounter(record);
    volatile DWORD &handle = entry.Handle;
    handle = 0;
}

void CConnectionEvents::HandlePacket(const DriverQueueRecord &event)
{
    if (event.Kind != DRIVER_QUEUE_PACKET)
        return;
    PacketLogEntry &entry = *ThePacketLogEntry();
    entry = PacketLogEntry();
    entry.TcpFlags = TcpFlagBits(event);
    entry.Protocol = event.Protocol;
    entry.Time = event.Time;
    entry.RemoteIp = event.RemoteIp;
    entry.LocalPort = event.LocalPort;
    MakeFlagText(entry.Protocol, entry.TcpFlags, entry.FlagText);
    if (m_peers.LogPage)
        SendMessage(m_peers.LogPage, WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(&entry), 0);
}

// The program page keeps the last state it was told, so telling it the same
// again within a burst changes nothing there.
void CConnectionEvents::ReportActive(LONG ruleId, bool active)
{
    if (!m_peers.ProgramPage)
        return;
    const auto told = m_reportedInBurst.emplace(ruleId, active);
    if (!told.second) {
        if (told.first->second == active)
            return;
        told.first->second = active;
    }
    SendMessage(m_peers.ProgramPage, WM_PROGRAM_ACTIVE, static_cast<WPARAM>(ruleId), active ? 1 : 0);
}
