#include <windows.h>
#include <string.h>

#include "InstallSwitches.h"

namespace {

// Until the console's language text source is in place, the install failure
// text is read from Language.ini beside the program directly.
void ShowInstallFailed()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    char *slash = strrchr(path, '\\');
    if (length == 0 || length >= sizeof path || !slash || slash + sizeof "Language.ini" > path + sizeof path)
        return;
    strcpy(slash + 1, "Language.ini");
    char text[512];
    GetPrivateProfileStringA("APP", "Install_Failed", "", text, sizeof text, path);
    MessageBoxA(nullptr, text, "QFW", MB_OK);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // The rest of the console's start-up is still to come after the switches.
    HandleInstallSwitches(commandLine, ShowInstallFailed);
    return 0;
}
