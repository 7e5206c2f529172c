#include "ProgramFolder.h"

#include "CommonFunctions.h"

namespace {

CString &ProgramFolder()
{
    static CString folder;
    return folder;
}

} // namespace

void SetProgramFolder(LPCSTR folder)
{
    ProgramFolder() = folder;
}

CString GetProgramFolder()
{
    if (ProgramFolder().IsEmpty())
        ProgramFolder() = GetModuleDir(nullptr, false);
    return ProgramFolder();
}
