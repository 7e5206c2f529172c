// CUpdateApp: the updater program. One runs at a time; a second start asks
// the running one to close and ends.
#pragma once

#include "CWinApp.h"

class CUpdateApp : public CWinApp
{
public:
    CUpdateApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    HANDLE m_hMutex = NULL;

    DECLARE_MESSAGE_MAP()
};
