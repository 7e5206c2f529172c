#include "DamagedDatabase.h"

#include "CString.h"

namespace {

// More damaged copies than anyone keeps: past them, the file stays where it is.
const int kMostCopies = 1000;

} // namespace

bool MoveDamagedDatabaseAside(LPCTSTR path)
{
    const CString first = CString(path) + "e";
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        CString aside = first;
        if (copy > 1)
            aside.Format("%s%d", static_cast<LPCTSTR>(first), copy);
        if (MoveFileExA(path, aside, 0))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
