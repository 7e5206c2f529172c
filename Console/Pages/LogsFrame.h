// CLogsFrame: the log page: the connection log and the live packet lines.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"

class CLogsFrame : public CConsolePage
{
public:
    explicit CLogsFrame(CWnd *pParent = NULL)
        : CConsolePage(IDD_LOGS_PAGE, pParent, "SubTitle_Left_Logs.bmp")
    {
    }
};
