// The console's version line, "Version   " and the version of the update
// description beside the program. Empty until the main window is made;
// the splash window draws it.
#pragma once

#include <CString.h>

CString &VersionLine();

// The installed version: the value Version of the section MAIN_INFOR of
// QfwUpdate.ini in the program folder; empty without the file, section or
// key.
CString InstalledVersion();
