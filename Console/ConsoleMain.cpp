#include <windows.h>

#include "InstallSwitches.h"
#include "PathText.h"

namespace {

// Until the console's language text source is in place, the install failure
// text is read from Language.ini beside the program directly.
void ShowInstallFailed()
{
    CString languageFile = GetModuleDir(nullptr, false) + "Language.ini";
    char text[512];
    GetPrivateProfileStringA("APP", "Install_Failed", "", text, sizeof text, languageFile);
    MessageBoxA(nullptr, text, "QFW", MB_OK);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // The rest of the console's start-up is still to come after the switches.
    HandleInstallSwitches(commandLine, ShowInstallFailed);
    return 0;
}
