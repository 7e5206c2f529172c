#include "ConsoleSettings.h"

#include "ProgramFolder.h"

CDataBase &ConsoleSettings()
{
    static CDataBase settings;
    return settings;
}

CString ConsoleSkinFolder()
{
    return GetProgramFolder() + "Skins\\" + ConsoleSettings().GetSkinName() + "\\";
}
