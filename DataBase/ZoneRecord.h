// One entry of the trusted or the blocked zone, as Firewall.dat holds it.
// The same record serves both tables; which one it belongs to is an argument
// of each CFirewallLib operation.
#pragma once

#include <windows.h>

#include "CString.h"
#include "FirewallTypes.h"

struct ZoneRecord
{
    DWORD ID = 0;
    CString Name;
    BYTE Type = ZONE_ENTRY_ADDRESS; // ZoneEntryType
    DWORD IP1 = 0;            // first octet in the most significant byte
    DWORD IP2 = 0;
    CString Site;
};
