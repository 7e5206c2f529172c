// The box of a refused edit: the rule store or the rule image did not take
// a change the user made (a store locked past its retries, a name the list
// holds already). The window that tells it keeps the change on screen, so
// that the user may try again or drop it.
#pragma once

#include <windows.h>

class CLanguageText;

// The text of key in the window's own section, captioned APP_NAME.
void TellEditRefused(HWND owner, const CLanguageText &texts, LPCTSTR key);
