// CSystemFrame: the options page: switches, the console password, the skin and the update.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"

class CSystemFrame : public CConsolePage
{
public:
    explicit CSystemFrame(CWnd *pParent = NULL)
        : CConsolePage(IDD_SYSTEM_PAGE, pParent, "SubTitle_Left_Option.bmp")
    {
    }
};
