// The hand cursor of the system's help program (its cursor 106), which the
// labels that act as links show.
#pragma once

#include <windows.h>

// A copy of the cursor from the help program in the Windows folder, or NULL
// without that program or cursor. The caller destroys the copy.
HCURSOR CopyHelpHandCursor();
// The same from a given module.
HCURSOR CopyHandCursorFrom(LPCSTR modulePath);
