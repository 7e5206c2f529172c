// The connection table: one block of shared memory holding a SessionRecord
// for every socket that the provider filters, in every process. The provider
// in the process that owns a socket writes its record; the console reads the
// table, answers questions through the State and Verdict bytes and frees
// closed records. The layout is fixed and the same in 32-bit and 64-bit code.
#pragma once

#include <windows.h>
#include <cstddef>

#define SESSION_TABLE_NAME "_QFW_SESSION_MEMORY_FILE"

enum {
    SESSION_RECORD_COUNT = 1024,
    SESSION_PATH_SIZE = 260,
    SESSION_DETAIL_SIZE = 260,
};

// The State byte. The console treats every value of 151 or more as a question.
enum SessionState {
    SESSION_OPEN = 0,       // live; the console writes 0 to answer and to free
    SESSION_FTP_NOTED = 1,  // EndTime stamped by an FTP transfer command
    SESSION_CLOSED = 10,    // the socket was closed or its process ended
    SESSION_SHOWN = 101,    // the console shows the question
    SESSION_ASKING = 151,   // the provider waits for the console's answer
};

// The Direction byte. The value 2 is never written.
enum SessionDirection {
    DIR_INBOUND = 0,
    DIR_OUTBOUND = 1,
    DIR_BROADCAST = 3,   // datagram to 255.255.255.255
    DIR_LISTEN = 4,      // listening, or a datagram socket bound to a port
    DIR_UNKNOWN = 255,   // set at registration; as an argument: keep
};

// The Protocol byte. Kinds 3 to 8 are TCP sockets refined by their port.
enum ProtocolKind {
    PROTO_OTHER = 0,
    PROTO_TCP = 1,
    PROTO_UDP = 2,
    PROTO_FTP = 3,
    PROTO_TELNET = 4,
    PROTO_HTTP = 5,
    PROTO_NNTP = 6,
    PROTO_POP3 = 7,
    PROTO_SMTP = 8,
    PROTO_ICMP = 9,
};

// Results of the table operations; none reaches an application.
enum {
    SESSION_ERR_FULL = -1,       // no free record, or no record of the socket
    SESSION_ERR_EXISTS = -401,   // (process, socket) already has a live record
    SESSION_ERR_NO_TABLE = -402, // this process has no view of the table
};

// Addresses and ports are in host byte order (first octet in the most
// significant byte); times are seconds since 1970-01-01 UTC.
struct SessionRecord {
    LONG Index;             // position in the table, 0..1023
    DWORD ProcessId;        // process that owns the socket
    DWORD Socket;           // socket handle in that process; 0 marks a free record
    LONG RuleId;            // ProgramRule that matched; 0 = none
    BYTE Decided;           // 1 once Verdict holds the socket's decision
    BYTE HostMatchDone;     // 1 once Detail was matched against host-name zones
    BYTE Reserved1[2];
    BYTE Zone;              // ZoneKind of the peer; 0 = not classified
    BYTE State;             // SessionState
    BYTE Direction;         // SessionDirection
    BYTE Protocol;          // ProtocolKind
    BYTE Verdict;           // RuleAction
    BYTE ByRule;            // 1: verdict from a rule or the blocked zone; 0: the console's answer
    BYTE Reserved2[2];
    DWORD RemoteIp;
    DWORD LocalIp;
    WORD RemotePort;        // for an accepted connection: the local service port
    WORD LocalPort;
    DWORD StartTime;
    DWORD EndTime;          // close time, or the time of an FTP transfer note
    LONG BytesSent;         // counted as unsigned: wraps at 4 GiB
    LONG BytesReceived;
    char Path[SESSION_PATH_SIZE];     // program file of the owning process
    char Detail[SESSION_DETAIL_SIZE]; // host name, FTP note or mail text
};

static_assert(sizeof(SessionRecord) == 576, "SessionRecord is 576 bytes");
static_assert(offsetof(SessionRecord, Index) == 0, "Index");
static_assert(offsetof(SessionRecord, ProcessId) == 4, "ProcessId");
static_assert(offsetof(SessionRecord, Socket) == 8, "Socket");
static_assert(offsetof(SessionRecord, RuleId) == 12, "RuleId");
static_assert(offsetof(SessionRecord, Decided) == 16, "Decided");
static_assert(offsetof(SessionRecord, HostMatchDone) == 17, "HostMatchDone");
static_assert(offsetof(SessionRecord, Zone) == 20, "Zone");
static_assert(offsetof(SessionRecord, State) == 21, "State");
static_assert(offsetof(SessionRecord, Direction) == 22, "Direction");
static_assert(offsetof(SessionRecord, Protocol) == 23, "Protocol");
static_assert(offsetof(SessionRecord, Verdict) == 24, "Verdict");
static_assert(offsetof(SessionRecord, ByRule) == 25, "ByRule");
static_assert(offsetof(SessionRecord, RemoteIp) == 28, "RemoteIp");
static_assert(offsetof(SessionRecord, LocalIp) == 32, "LocalIp");
static_assert(offsetof(SessionRecord, RemotePort) == 36, "RemotePort");
static_assert(offsetof(SessionRecord, LocalPort) == 38, "LocalPort");
static_assert(offsetof(SessionRecord, StartTime) == 40, "StartTime");
static_assert(offsetof(SessionRecord, EndTime) == 44, "EndTime");
static_assert(offsetof(SessionRecord, BytesSent) == 48, "BytesSent");
static_assert(offsetof(SessionRecord, BytesReceived) == 52, "BytesReceived");
static_assert(offsetof(SessionRecord, Path) == 56, "Path");
static_assert(offsetof(SessionRecord, Detail) == 316, "Detail");

enum { SESSION_TABLE_SIZE = SESSION_RECORD_COUNT * sizeof(SessionRecord) };
static_assert(SESSION_TABLE_SIZE == 0x90000, "the table is 589,824 bytes");
