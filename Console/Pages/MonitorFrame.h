// CMonitorFrame: the traffic monitor page: live graphs and the connections by process.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"

class CMonitorFrame : public CConsolePage
{
public:
    explicit CMonitorFrame(CWnd *pParent = NULL)
        : CConsolePage(IDD_MONITOR_PAGE, pParent, "SubTitle_Left_Monitor.bmp")
    {
    }
};
