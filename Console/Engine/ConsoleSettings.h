// The console's settings store (Config.dat): one for the process, opened at
// start-up and read and written by every window on the user-interface
// thread.
#pragma once

#include "DataBase.h"

CDataBase &ConsoleSettings();
