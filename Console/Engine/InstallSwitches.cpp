#include "InstallSwitches.h"

#include <string.h>

#include "Installer.h"
#include "PathText.h"

namespace {

const char kInstallSwitch[] = "-fzinstall";
const char kUninstallSwitch[] = "-fzuninstall";
const char kProviderFileName[] = "QFW.DLL";


// The driver is needed for anything to work, so without it nothing else is
// tried; a failed provider install still lets the rest be done.
void Install(InstallFailureReport reportFailure)
{
    CInstaller installer;
    if (!installer.InstallDriverService()) {
        reportFailure();
        return;
    }
    // The provider library beside the console's program file.
    int result = installer.InstallProvider(GetModuleDir(nullptr, false) + kProviderFileName);
    if (result != INSTALL_OK && result != INSTALL_ERR_ALREADY_INSTALLED)
        reportFailure();
    installer.TurnOffWindowsFirewall();
    installer.SetAutoStart(TRUE);
}

void Uninstall()
{
    CInstaller installer;
    installer.UninstallDriverService();
    installer.UninstallProvider();
    installer.TurnOnWindowsFirewall();
}

} // namespace

int HandleInstallSwitches(LPCSTR commandLine, InstallFailureReport reportFailure)
{
    if (!commandLine)
        return 1;
    if (strcmp(commandLine, kInstallSwitch) == 0) {
        Install(reportFailure);
        return 0;
    }
    if (strcmp(commandLine, kUninstallSwitch) == 0) {
        Uninstall();
        return 0;
    }
    return 1;
}
