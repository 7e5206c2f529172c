// The advanced settings of one program rule for one zone (the Internet zone
// or the trusted zone): the action when these checks fail, the TCP and UDP
// switches, the port rule and the time schedule.
#pragma once

#include <windows.h>

#include "CString.h"

const int NET_RULE_PORT_COUNT = 20;

// Values of NetRuleSettings::PortType.
enum PortRuleType : BYTE
{
    PORT_RULE_NONE = 0,
    PORT_RULE_RANGE = 1,      // from Ports[0] to Ports[1]
    PORT_RULE_LIST = 2,       // the ports up to the first 0
};

struct NetRuleSettings
{
    DWORD ID = 0;             // the rule's ID
    BYTE AdvAction = 0;
    BYTE TcpAccess = 0;
    BYTE UdpAccess = 0;
    BYTE TcpServer = 0;
    BYTE UdpServer = 0;
    BYTE TimeID = 0;
    BYTE PortType = PORT_RULE_NONE;
    WORD Ports[NET_RULE_PORT_COUNT] = {};  // a 0 ends the list
    CString Memo;
};

// Equal when every field that the port type gives a meaning to is equal:
// a range compares its two ports, a list all of them, no rule none.
bool operator==(const NetRuleSettings &a, const NetRuleSettings &b);
bool operator!=(const NetRuleSettings &a, const NetRuleSettings &b);
