// The console's settings store (Config.dat): one for the process, opened at
// start-up and read and written by every window on the user-interface
// thread.
#pragma once

#include "DataBase.h"

CDataBase &ConsoleSettings();

// The folder of the skin in use: the program folder, "Skins\", the stored
// skin name ("Default" when none) and a backslash.
CString ConsoleSkinFolder();
