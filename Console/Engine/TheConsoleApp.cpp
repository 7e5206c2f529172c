// The console's one application object; the class library's entry runs it.
#include "ConsoleApp.h"

CConsoleApp theApp;
