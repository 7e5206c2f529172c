// One packet event of the driver as the traffic monitor hands it to the log
// page with WM_PACKET_LOGGED. There is one instance: the monitor overwrites it
// for each packet event and sends its address synchronously, so the log page
// reads it before the next event arrives.
#pragma once

#include <windows.h>

// The flag text holds at most six four-character names ("ACK FIN PSH RST SYN URG ").
constexpr int PACKET_FLAG_TEXT_MAX = 24;

struct PacketLogEntry {
    BYTE Protocol;   // ProtocolKind
    BYTE Action;     // 0 shows the pass text, any other value the deny text
    BYTE TcpFlags;   // DRIVER_TCP_* bits, six at most
    DWORD RemoteIp;  // as the driver gives it
    WORD LocalPort;
    DWORD Time;      // seconds since 1 January 1970
    char FlagText[PACKET_FLAG_TEXT_MAX + 1];
};

// The one entry that WM_PACKET_LOGGED carries; the log page compares the
// address it receives with this one before reading it.
inline PacketLogEntry* ThePacketLogEntry()
{
    static PacketLogEntry entry;
    return &entry;
}
