// Update.exe: the one application object.
#include "UpdateApp.h"

CUpdateApp theApp;
