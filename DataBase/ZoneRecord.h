// One entry of the trusted or the blocked zone, as Firewall.dat holds it.
// The same record serves both tables; which one it belongs to is an argument
// of each CFirewallLib operation.
#pragma once

#include <windows.h>

#include "CString.h"

// Values of ZoneRecord::Type.
enum ZoneEntryType : BYTE
{
    ZONE_ENTRY_ADDRESS = 0,   // one IPv4 address in IP1
    ZONE_ENTRY_RANGE = 1,     // addresses from IP1 to IP2
    ZONE_ENTRY_SUBNET = 2,    // address IP1 under mask IP2
    ZONE_ENTRY_HOST = 3,      // a host name in Site
};

struct ZoneRecord
{
    DWORD ID = 0;
    CString Name;
    BYTE Type = ZONE_ENTRY_ADDRESS;
    DWORD IP1 = 0;            // first octet in the most significant byte
    DWORD IP2 = 0;
    CString Site;
};
