#include "LoggedOnRefusal.h"

#include "ConsoleApp.h"
#include "LoggedOn.h"

BOOL RefuseWhileLoggedOff(HWND owner)
{
    if (LoggedOn)
        return FALSE;
    const CLanguageText &texts = GetConsoleApp()->Texts();
    ::MessageBoxA(owner, texts.GetText("LOG_DONT", "APP"), texts.GetAppName(), MB_ICONEXCLAMATION);
    return TRUE;
}
