#include "SessionTable.h"

#include <cstring>
#include "Address32.h"
#include "NullDacl.h"
#include "DriverInterface.h"
#include "FirewallTypes.h"
#include "ProviderControlBlock.h"

namespace {

// Seconds since 1970-01-01 UTC, the value time() gives, read without the C
// runtime's time zone work.
DWORD Now()
{
    const ULONGLONG kTicksPerSecond = 10000000;          // of 100 ns
    const ULONGLONG kTicksBefore1970 = 116444736000000000ULL; // since 1601
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return static_cast<DWORD>((ticks.QuadPart - kTicksBefore1970) / kTicksPerSecond);
}

bool IsTcpKind(BYTE protocol)
{
    return protocol == PROTO_TCP || (protocol >= PROTO_FTP && protocol <= PROTO_SMTP);
}

// Windows handles carry 32 significant bits, also in 64-bit processes.
DWORD SocketValue(SOCKET s)
{
    return static_cast<DWORD>(s);
}

// The service that a TCP port names; PROTO_TCP for any other port.
BYTE ProtocolOfTcpPort(WORD port)
{
    switch (port) {
    case 21: return PROTO_FTP;
    case 23: return PROTO_TELNET;
    case 25: return PROTO_SMTP;
    case 80: return PROTO_HTTP;
    case 110: return PROTO_POP3;
    case 119: return PROTO_NNTP;
    default: return PROTO_TCP;
    }
}

} // namespace

CSessionTable::~CSessionTable()
{
    CloseAllOfProcess();
    if (ControlBlock().AttachCount == 0)
        Unmap();
}

int CSessionTable::MapFile()
{
    if (m_view)
        return 1;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, GetNullDaclAttributes(), PAGE_READWRITE, 0,
                                        SESSION_TABLE_SIZE, SESSION_TABLE_NAME);
    ControlBlock().SessionMapping = AddressToDword(mapping);
    if (!mapping)
        return 0;
    void *view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        ControlBlock().SessionMapping = 0;
        return 0;
    }
    m_mapping = mapping;
    m_view = view;
    m_records = static_cast<SessionRecord *>(view);
    return 1;
}

int CSessionTable::Open()
{
    if (!MapFile())
        return 0;
    if (ControlBlock().SessionTableReady == 0) {
        InitialiseFreeRecords();
        ControlBlock().SessionTableReady = 1;
    }
    return 1;
}

// Two processes may both find the table not yet initialised; records that
// one of them already registered are left alone.
void CSessionTable::InitialiseFreeRecords()
{
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        SessionRecord &record = m_records[i];
        if (record.Socket != 0)
            continue;
        memset(&record, 0, sizeof record);
        record.Index = i;
        record.State = SESSION_OPEN;
        record.Direction = DIR_UNKNOWN;
    }
}

void CSessionTable::Unmap()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_mapping)
        CloseHandle(m_mapping);
    m_view = nullptr;
    m_records = nullptr;
    m_mapping = nullptr;
    ControlBlock().SessionMapping = 0;
}

SessionRecord *CSessionTable::GetRecord(int index) const
{
    if (!m_records || index < 0 || index >= SESSION_RECORD_COUNT)
        return nullptr;
    return &m_records[index];
}

int CSessionTable::Find(SOCKET s) const
{
    if (!m_records)
        return SESSION_ERR_NO_TABLE;
    DWORD socket = SocketValue(s);
    DWORD processId = GetCurrentProcessId();
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        const volatile SessionRecord &record = m_records[i];
        if (record.Socket == socket && record.ProcessId == processId && record.State != SESSION_CLOSED)
            return i;
    }
    return SESSION_ERR_FULL;
}

int CSessionTable::Register(SOCKET s, BYTE kind, const char *path)
{
    if (!m_records)
        return SESSION_ERR_NO_TABLE;
    if (Find(s) >= 0)
        return SESSION_ERR_EXISTS;
    return RegisterUnrecorded(s, kind, path);
}

int CSessionTable::RegisterUnrecorded(SOCKET s, BYTE kind, const char *path)
{
    if (!m_records)
        return SESSION_ERR_NO_TABLE;
    LONG socket = static_cast<LONG>(SocketValue(s));
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        SessionRecord &record = m_records[i];
        volatile LONG *claim = reinterpret_cast<volatile LONG *>(&record.Socket);
        if (*claim != 0 || InterlockedCompareExchange(claim, socket, 0) != 0)
            continue;
        // Claimed: the owner first, then every field after Socket.
        record.ProcessId = GetCurrentProcessId();
        const size_t rest = offsetof(SessionRecord, RuleId);
        memset(reinterpret_cast<BYTE *>(&record) + rest, 0, sizeof record - rest);
        Initialise(record, i, s, kind, path);
        return i;
    }
    return SESSION_ERR_FULL;
}

void CSessionTable::Initialise(SessionRecord &record, int index, SOCKET s, BYTE kind, const char *path)
{
    record.Index = index;
    record.ProcessId = GetCurrentProcessId();
    record.Socket = SocketValue(s);
    record.State = SESSION_OPEN;
    record.Verdict = ACTION_PASS;
    record.Direction = DIR_UNKNOWN;
    record.Protocol = kind;
    record.StartTime = Now();
    record.RuleId = 0;
    lstrcpynA(record.Path, path ? path : "", sizeof record.Path);
}

int CSessionTable::Unregister(SOCKET s)
{
    int index = Find(s);
    if (index < 0)
        return index;
    CloseRecord(&m_records[index]);
    return index;
}

SessionRecord *CSessionTable::RecordForUpdate(int index, int &result) const
{
    result = m_records ? SESSION_ERR_FULL : SESSION_ERR_NO_TABLE;
    SessionRecord *record = GetRecord(index);
    if (record)
        result = 0;
    return record;
}

void CSessionTable::FillLocalAddress(SessionRecord &record, bool announcePort, bool mayHaveName)
{
    if (record.LocalPort != 0 || (!mayHaveName && IsTcpKind(record.Protocol)))
        return;
    sockaddr_in local = {};
    int length = sizeof local;
    if (getsockname(static_cast<SOCKET>(record.Socket), reinterpret_cast<sockaddr *>(&local), &length) != 0)
        return;
    record.LocalPort = ntohs(local.sin_port);
    record.LocalIp = ntohl(local.sin_addr.s_addr);
    if (announcePort && record.LocalPort != 0)
        DriverAddPort(record.LocalPort);
}

int CSessionTable::UpdateAddress(int index, BYTE direction, WORD port, DWORD address, bool useLocalPort)
{
    int result;
    SessionRecord *record = RecordForUpdate(index, result);
    if (record)
        UpdateAddress(*record, direction, port, address, useLocalPort);
    return result;
}

WORD CSessionTable::FillLocalPort(SessionRecord &record)
{
    FillLocalAddress(record, true, true);
    return record.LocalPort;
}

void CSessionTable::UpdateAddress(SessionRecord &record, BYTE direction, WORD port, DWORD address,
                                  bool useLocalPort, bool mayHaveName)
{
    FillLocalAddress(record, true, mayHaveName);
    WORD servicePort = useLocalPort ? record.LocalPort : port;
    // Only a plain TCP socket is refined, so the first service port stays.
    if (record.Protocol == PROTO_TCP)
        record.Protocol = ProtocolOfTcpPort(servicePort);
    if (direction != DIR_UNKNOWN)
        record.Direction = direction;
    if (!useLocalPort) {
        record.RemotePort = port;
        record.RemoteIp = ntohl(address);
    }
}

int CSessionTable::AddTraffic(int index, BYTE direction, const char *text, int count, bool isSend)
{
    int result;
    SessionRecord *record = RecordForUpdate(index, result);
    if (record)
        AddTraffic(*record, direction, text, count, isSend);
    return result;
}

void CSessionTable::AddTraffic(SessionRecord &record, BYTE direction, const char *text, int count, bool isSend,
                               bool mayHaveName)
{
    FillLocalAddress(record, false, mayHaveName);
    if (direction != DIR_UNKNOWN && direction != record.Direction)
        record.Direction = direction;
    if (text && record.Detail[0] == '\0')
        lstrcpynA(record.Detail, text, sizeof record.Detail);
    if (count > 0) {
        // The counters are unsigned in effect: they wrap at 4 GiB, never negative.
        LONG &counter = isSend ? record.BytesSent : record.BytesReceived;
        counter = static_cast<LONG>(static_cast<DWORD>(counter) + static_cast<DWORD>(count));
    }
}

SessionRecord *CSessionTable::OwnedRecord(int index, SOCKET s) const
{
    SessionRecord *record = GetRecord(index);
    if (!record)
        return nullptr;
    const volatile SessionRecord &shared = *record;
    if (shared.Socket != SocketValue(s) || shared.ProcessId != GetCurrentProcessId() ||
        shared.State == SESSION_CLOSED)
        return nullptr;
    return record;
}

void CSessionTable::Mirror(const SessionRecord &own, int index, SOCKET s)
{
    SessionRecord *shared = OwnedRecord(index, s);
    if (!shared)
        return;
    shared->Direction = own.Direction;
    shared->Protocol = own.Protocol;
    shared->RemoteIp = own.RemoteIp;
    shared->LocalIp = own.LocalIp;
    shared->RemotePort = own.RemotePort;
    shared->LocalPort = own.LocalPort;
    shared->BytesSent = own.BytesSent;
    shared->BytesReceived = own.BytesReceived;
    memcpy(shared->Detail, own.Detail, sizeof shared->Detail);
    if (own.State == SESSION_FTP_NOTED && shared->State == SESSION_OPEN) {
        shared->EndTime = own.EndTime;
        shared->State = SESSION_FTP_NOTED;
    }
}

int CSessionTable::CloseRecord(SessionRecord *record)
{
    if (record->State == SESSION_CLOSED)
        return 0;
    if (record->LocalPort != 0)
        DriverRemovePort(record->LocalPort);
    record->EndTime = Now();
    record->State = SESSION_CLOSED;
    return 0;
}

void CSessionTable::CloseProcessSessions(DWORD processId)
{
    if (!m_records)
        return;
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        SessionRecord &record = m_records[i];
        if (record.Socket != 0 && record.ProcessId == processId)
            CloseRecord(&record);
    }
}

int CSessionTable::CloseAllOfProcess()
{
    if (!m_records)
        return SESSION_ERR_NO_TABLE;
    CloseProcessSessions(GetCurrentProcessId());
    return 0;
}

int StampSessionEnd(SessionRecord *record)
{
    record->EndTime = Now();
    record->State = SESSION_FTP_NOTED;
    return 0;
}
