#include "VersionLine.h"

CString &VersionLine()
{
    static CString line;
    return line;
}
