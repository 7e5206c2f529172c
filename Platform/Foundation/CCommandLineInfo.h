// CCommandLineInfo: what CWinApp::ParseCommandLine finds in the program's
// arguments. Only the splash switch is read: a "/" or "-" flag named
// Embedding or Automation (any case) turns the splash off; every other
// argument is ignored.
#pragma once

#include <windows.h>

class CCommandLineInfo
{
public:
    virtual ~CCommandLineInfo() = default;

    // One argument; pszParam has the "/" or "-" of a flag removed.
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
};
