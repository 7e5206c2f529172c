#include "ConsoleSettings.h"

CDataBase &ConsoleSettings()
{
    static CDataBase settings;
    return settings;
}
