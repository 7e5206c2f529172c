// The console's command-line switches "-fzinstall" and "-fzuninstall".
#pragma once

#include <windows.h>

// Shows the console's install failure to the user.
typedef void (*InstallFailureReport)();

// commandLine: the text after the program name and the blanks behind it.
// A switch is the whole line, exactly; anything else is no switch.
// 0 when a switch was carried out and the program is to end, 1 to go on
// with start-up.
int HandleInstallSwitches(LPCSTR commandLine, InstallFailureReport reportFailure);
