// A database file that the engine cannot read is kept, not deleted: it is
// moved aside to the path followed by "e", so that a new database can be
// made in its place while the user's bytes stay on disk.
#pragma once

#include <windows.h>

// True when the file now has the name path + "e" (an older file of that
// name is replaced). Call it only while no connection holds the file.
bool MoveDamagedDatabaseAside(LPCTSTR path);
