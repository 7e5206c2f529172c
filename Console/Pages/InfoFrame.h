// CInfoFrame: the about page: the program's version and its privacy text.
#pragma once

#include "ConsolePage.h"
#include "ConsoleResources.h"

class CInfoFrame : public CConsolePage
{
public:
    explicit CInfoFrame(CWnd *pParent = NULL)
        : CConsolePage(IDD_INFO_PAGE, pParent, "SubTitle_Left_Info.bmp")
    {
    }
};
