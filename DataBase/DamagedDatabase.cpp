#include "DamagedDatabase.h"

#include "CString.h"

bool MoveDamagedDatabaseAside(LPCTSTR path)
{
    const CString aside = CString(path) + "e";
    return MoveFileExA(path, aside, MOVEFILE_REPLACE_EXISTING) != FALSE;
}
