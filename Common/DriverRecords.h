// The records through which the console reaches the driver's event ring and
// connection tables. The driver fills them; their layouts are fixed by it
// and are the same for the 32-bit and the 64-bit build. Addresses are
// 32-bit values valid in the calling process (see Address32.h).
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstring>

constexpr DWORD DRIVER_RING_ENTRIES = 512;
constexpr DWORD DRIVER_TABLE2_POLLED = 100; // table-2 entries the console looks at

// Output of IOCTL_NETVANE_GET_QUEUE.
struct DriverQueueView {
    DWORD Unused;
    DWORD WriteIndexAddress; // u32 advanced by the driver
    DWORD ReadIndexAddress;  // u32 advanced by the console
    DWORD RingAddress;       // DRIVER_RING_ENTRIES DriverQueueRecords
};

// Output of IOCTL_NETVANE_GET_TABLES.
struct DriverTableView {
    DWORD Table1CountAddress; // u32 number of table-1 entries in use
    DWORD Table1Address;      // entries 0 to count - 1 in use
    DWORD Table2Address;      // an entry is in use while its Handle is not 0
};

// Kinds of ring record.
constexpr BYTE DRIVER_QUEUE_QUESTION = 1;
constexpr BYTE DRIVER_QUEUE_PACKET = 2;

// Byte 8 of a ring record: the TCP header's flag bits and the direction.
constexpr BYTE DRIVER_TCP_FIN = 0x01;
constexpr BYTE DRIVER_TCP_SYN = 0x02;
constexpr BYTE DRIVER_TCP_RST = 0x04;
constexpr BYTE DRIVER_TCP_PSH = 0x08;
constexpr BYTE DRIVER_TCP_ACK = 0x10;
constexpr BYTE DRIVER_TCP_URG = 0x20;
constexpr BYTE DRIVER_TCP_FLAG_MASK = 0x3F;
constexpr BYTE DRIVER_OUTBOUND = 0x40; // clear: inbound

// The driver's state byte is the connection state raised by this amount.
constexpr BYTE DRIVER_STATE_BIAS = 56;

// One record of the event ring: a connection question or a packet event.
struct DriverQueueRecord {
    BYTE Reserved0;
    BYTE State;          // connection state + DRIVER_STATE_BIAS
    BYTE Zone;           // ZoneKind
    BYTE Reserved3[5];
    BYTE TcpFlags;       // DRIVER_TCP_* bits and DRIVER_OUTBOUND
    BYTE Kind;           // DRIVER_QUEUE_QUESTION or DRIVER_QUEUE_PACKET
    BYTE Reserved10[2];
    BYTE Protocol;       // ProtocolKind
    BYTE Reserved13[3];
    DWORD Time;          // seconds since 1 January 1970
    DWORD LocalIp;
    DWORD RemoteIp;
    WORD LocalPort;
    WORD RemotePort;
    BYTE Reserved32[8];
    char ImageName[16];  // NUL-terminated; empty when the driver has none
};

// One connection of a driver table.
struct DriverTableRecord {
    DWORD Handle;        // the connection record's socket; 0 frees a table-2 entry
    BYTE DirectionVerdict; // low nibble SessionDirection, high nibble RuleAction
    BYTE Zone;
    BYTE Reserved6;
    BYTE Protocol;
    WORD RuleId;
    BYTE Reserved10[2];
    DWORD StartTime;
    DWORD ProcessId;
    DWORD BytesSent;
    DWORD BytesReceived;
    DWORD LocalIp;
    DWORD RemoteIp;
    WORD LocalPort;
    WORD RemotePort;
    char ImageName[16];  // NUL-terminated; "SYSTEM" stands for none
};

inline bool IsOutbound(const DriverQueueRecord &record)
{
    return (record.TcpFlags & DRIVER_OUTBOUND) != 0;
}

inline BYTE TcpFlagBits(const DriverQueueRecord &record)
{
    return record.TcpFlags & DRIVER_TCP_FLAG_MASK;
}

inline BYTE ConnectionState(const DriverQueueRecord &record)
{
    return static_cast<BYTE>(record.State - DRIVER_STATE_BIAS);
}

// A driver question is known by both ports read as one u32.
inline DWORD QuestionKey(const DriverQueueRecord &record)
{
    DWORD key;
    memcpy(&key, &record.LocalPort, sizeof key);
    return key;
}

inline BYTE TableDirection(const DriverTableRecord &record)
{
    return record.DirectionVerdict & 0x0F;
}

inline BYTE TableVerdict(const DriverTableRecord &record)
{
    return record.DirectionVerdict >> 4;
}

static_assert(sizeof(DriverQueueView) == 16, "DriverQueueView layout");
static_assert(offsetof(DriverQueueView, WriteIndexAddress) == 4, "DriverQueueView layout");
static_assert(offsetof(DriverQueueView, ReadIndexAddress) == 8, "DriverQueueView layout");
static_assert(offsetof(DriverQueueView, RingAddress) == 12, "DriverQueueView layout");

static_assert(sizeof(DriverTableView) == 12, "DriverTableView layout");
static_assert(offsetof(DriverTableView, Table1Address) == 4, "DriverTableView layout");
static_assert(offsetof(DriverTableView, Table2Address) == 8, "DriverTableView layout");

static_assert(sizeof(DriverQueueRecord) == 56, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, State) == 1, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, Zone) == 2, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, TcpFlags) == 8, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, Kind) == 9, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, Protocol) == 12, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, Time) == 16, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, LocalIp) == 20, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, RemoteIp) == 24, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, LocalPort) == 28, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, RemotePort) == 30, "DriverQueueRecord layout");
static_assert(offsetof(DriverQueueRecord, ImageName) == 40, "DriverQueueRecord layout");

static_assert(sizeof(DriverTableRecord) == 56, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, DirectionVerdict) == 4, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, Zone) == 5, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, Protocol) == 7, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, RuleId) == 8, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, StartTime) == 12, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, ProcessId) == 16, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, BytesSent) == 20, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, BytesReceived) == 24, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, LocalIp) == 28, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, RemoteIp) == 32, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, LocalPort) == 36, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, RemotePort) == 38, "DriverTableRecord layout");
static_assert(offsetof(DriverTableRecord, ImageName) == 40, "DriverTableRecord layout");
