// CCommandLineInfo: the splash switch.
#include "CCommandLineInfo.h"

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag && (lstrcmpiA(pszParam, "Embedding") == 0 || lstrcmpiA(pszParam, "Automation") == 0))
        m_bShowSplash = FALSE;
}
