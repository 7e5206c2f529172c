// CFirewallFrame: the firewall page: security levels and the trusted and blocked lists.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"

class CFirewallFrame : public CConsolePage
{
public:
    explicit CFirewallFrame(CWnd *pParent = NULL)
        : CConsolePage(IDD_FIREWALL_PAGE, pParent, "SubTitle_Left_Firewall.bmp")
    {
    }
};
