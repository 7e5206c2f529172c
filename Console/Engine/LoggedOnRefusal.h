// The one check of the windows that change stored data: while the console
// is logged off they refuse, with the APP text LOG_DONT captioned APP_NAME.
#pragma once

#include <windows.h>

class CLanguageText;

// TRUE when the console is logged off: the box has been shown and the
// caller stops. FALSE when the caller may go on.
BOOL RefuseWhileLoggedOff(HWND owner);
// The same with a window's own texts bound to Language.ini, for windows
// that live without the application object (the pages in their tests).
BOOL RefuseWhileLoggedOff(HWND owner, const CLanguageText &texts);
