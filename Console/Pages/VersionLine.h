// The console's version line, "Version   " and the version of the update
// description beside the program. Empty until the main window is made;
// the splash window draws it.
#pragma once

#include <CString.h>

CString &VersionLine();
