#include "VersionLine.h"

#include "LanguageText.h"
#include "ProgramFolder.h"

CString &VersionLine()
{
    static CString line;
    return line;
}

CString InstalledVersion()
{
    CLanguageText update;
    update.SetSource(GetProgramFolder() + "QfwUpdate.ini", "MAIN_INFOR", "", "");
    return update.GetText("Version");
}
