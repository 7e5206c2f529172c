// A database file that the engine cannot read is kept, not deleted: it is
// moved aside, so that a new database can be made in its place while the
// user's bytes stay on disk. The first damaged copy is named by the path
// followed by "e"; a later one, when that name is taken, by the path
// followed by "e2", "e3" and so on, so that no damaged copy replaces another.
#pragma once

#include <windows.h>

// True when the file now has the first free one of those names. Call it only
// while no connection holds the file.
bool MoveDamagedDatabaseAside(LPCTSTR path);
