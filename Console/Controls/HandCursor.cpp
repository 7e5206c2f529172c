#include "HandCursor.h"

#include <CString.h>

namespace {

// The cursor's id in the help program.
const WORD kHandCursorId = 106;

} // namespace

HCURSOR CopyHelpHandCursor()
{
    char folder[MAX_PATH + 1] = {};
    if (!GetWindowsDirectoryA(folder, MAX_PATH))
        return NULL;
    return CopyHandCursorFrom(CString(folder) + "\\winhlp32.exe");
}

HCURSOR CopyHandCursorFrom(LPCSTR modulePath)
{
    HMODULE module = LoadLibraryA(modulePath);
    if (!module)
        return NULL;
    HCURSOR copy = NULL;
    if (HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHandCursorId)))
        copy = CopyIcon(cursor);
    FreeLibrary(module);
    return copy;
}
