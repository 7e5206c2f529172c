#include "NetRuleSettings.h"

#include <cstring>

static int ComparedPortCount(BYTE portType)
{
    switch (portType)
    {
    case PORT_RULE_RANGE: return 2;
    case PORT_RULE_LIST: return NET_RULE_PORT_COUNT;
    default: return 0;
    }
}

bool operator==(const NetRuleSettings &a, const NetRuleSettings &b)
{
    if (a.ID != b.ID || a.AdvAction != b.AdvAction || a.TcpAccess != b.TcpAccess ||
        a.TcpServer != b.TcpServer || a.UdpAccess != b.UdpAccess || a.UdpServer != b.UdpServer ||
        a.TimeID != b.TimeID || a.PortType != b.PortType)
        return false;
    if (strcmp(a.Memo, b.Memo) != 0)
        return false;
    const int count = ComparedPortCount(a.PortType);
    for (int i = 0; i < count; i++)
        if (a.Ports[i] != b.Ports[i])
            return false;
    return true;
}

bool operator!=(const NetRuleSettings &a, const NetRuleSettings &b)
{
    return !(a == b);
}
