#include "EditRefusal.h"

#include "LanguageText.h"

void TellEditRefused(HWND owner, const CLanguageText &texts, LPCTSTR key)
{
    ::MessageBoxA(owner, texts.GetText(key), texts.GetAppName(), MB_ICONEXCLAMATION);
}
