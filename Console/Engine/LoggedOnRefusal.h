// The one check of the windows that change stored data: while the console
// is logged off they refuse, with the APP text LOG_DONT captioned APP_NAME.
#pragma once

#include <windows.h>

// TRUE when the console is logged off: the box has been shown and the
// caller stops. FALSE when the caller may go on.
BOOL RefuseWhileLoggedOff(HWND owner);
