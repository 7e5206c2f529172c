#include "LoggedOnRefusal.h"

#include "ConsoleApp.h"
#include "LoggedOn.h"

BOOL RefuseWhileLoggedOff(HWND owner)
{
    return LoggedOn ? FALSE : RefuseWhileLoggedOff(owner, GetConsoleApp()->Texts());
}
