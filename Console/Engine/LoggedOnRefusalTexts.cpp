// Apart from the application object, so that a window linking this check
// does not pull the whole console in.
#include "LoggedOnRefusal.h"

#include "LanguageText.h"
#include "LoggedOn.h"

BOOL RefuseWhileLoggedOff(HWND owner, const CLanguageText &texts)
{
    if (LoggedOn)
        return FALSE;
    ::MessageBoxA(owner, texts.GetText("LOG_DONT", "APP"), texts.GetAppName(), MB_ICONEXCLAMATION);
    return TRUE;
}
