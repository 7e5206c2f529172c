// The emulated driver's state, kept in named sections that every process
// maps, as a driver's memory is one for all its callers. The emulator's own
// fields change under one lock shared by all processes; the ring's read index and table 2's
// first u32 belong to the console, which writes them without a lock.
#pragma once

#include <windows.h>
#include "DriverRecords.h"

constexpr DWORD NETVANE_TABLE1_ENTRIES = 256;
constexpr DWORD NETVANE_TABLE2_ENTRIES = 256;
constexpr DWORD NETVANE_NAME_ENTRIES = 64;
constexpr DWORD NETVANE_NAME_LENGTH = 60; // with the NUL
constexpr DWORD NETVANE_CALL_ENTRIES = 1024;
constexpr DWORD NETVANE_CALL_INPUT = 32; // input bytes kept per call
constexpr DWORD NETVANE_FAIL_ENTRIES = 16;
constexpr DWORD NETVANE_BUFFER_BYTES = 256;
constexpr DWORD NETVANE_MAX_BLOCK = 64u << 20;

// The code under which opens of the device are logged; its input is the
// access, share mode, disposition and attributes, four u32s.
constexpr DWORD NETVANE_OPEN = 0;

struct NetvaneCall {
    DWORD Sequence;
    DWORD ProcessId;
    DWORD Code;
    DWORD InputSize;
    BYTE Input[NETVANE_CALL_INPUT];
    DWORD Succeeded;
    DWORD Error;
};

struct NetvaneFailure {
    DWORD Code;
    DWORD Error; // 0: unused slot
};

struct NetvaneBuffer {
    DWORD Size;
    BYTE Bytes[NETVANE_BUFFER_BYTES];
};

struct NetvaneControlState {
    DWORD AclReady;
    DWORD EventsStarted;
    DWORD Ticks;
    DWORD BlockGeneration; // never reused, so that no stale section is reopened
    DWORD BlockLive;
    DWORD BlockSize;
    DWORD LastBlockControl;
    NetvaneFailure Failures[NETVANE_FAIL_ENTRIES];
    NetvaneBuffer ReadData; // what IOCTL_NETVANE_READ_BUFFER answers
    DWORD CallCount;
    NetvaneCall Calls[NETVANE_CALL_ENTRIES]; // a ring over CallCount
};

struct NetvaneRing {
    DWORD Unused;
    DWORD WriteIndex;
    DWORD ReadIndex;
    DriverQueueRecord Records[DRIVER_RING_ENTRIES];
};

struct NetvaneTables {
    DWORD Table1Count;
    DriverTableRecord Table1[NETVANE_TABLE1_ENTRIES];
    DriverTableRecord Table2[NETVANE_TABLE2_ENTRIES];
};

struct NetvaneName {
    DWORD Address;
    char Name[NETVANE_NAME_LENGTH];
};

struct NetvaneNames {
    DWORD Count;
    NetvaneName Entries[NETVANE_NAME_ENTRIES];
};

// The sections, mapped once per process for its whole life; null only when
// the system refuses the mapping.
NetvaneControlState *NetvaneControlSection();
NetvaneRing *NetvaneRingSection();
NetvaneTables *NetvaneTablesSection();
NetvaneNames *NetvaneNamesSection();

// The registry key whose presence means the driver is installed.
#define NETVANE_SERVICE_KEY "SYSTEM\\CurrentControlSet\\Services\\Netvane"

// The emulator's lock: a word in a section of its own that names the
// thread holding it, taken with an interlocked exchange, so that a device
// call costs no call of the system while no other caller holds it. The
// holder may take it again. A holder whose thread has ended (its process
// killed mid-update) leaves plain counters and records: the next caller
// takes the lock over and uses them.
struct NetvaneLockState {
    LONG Owner; // thread id, 0 when free
    LONG Depth;
};

// Holds the emulator's lock for one scope.
class CNetvaneLock {
public:
    CNetvaneLock();
    ~CNetvaneLock();
    CNetvaneLock(const CNetvaneLock &) = delete;
    CNetvaneLock &operator=(const CNetvaneLock &) = delete;

private:
    NetvaneLockState *m_state;
};
