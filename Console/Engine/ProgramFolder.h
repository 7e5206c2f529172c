// The program folder: the folder of the program file, with its trailing
// backslash. The console sets it first thing at start-up, and every file
// path of the console starts from it.
#pragma once

#include <windows.h>

#include "CString.h"

void SetProgramFolder(LPCSTR folder);

// The folder that was set, or the program file's own folder before that.
CString GetProgramFolder();
