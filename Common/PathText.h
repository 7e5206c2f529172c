// Folders and file names of paths. Paths are split into drive, folder,
// name and extension without any fixed-size buffer, stepping over the
// double-byte characters of the code page (a trail byte may be '\\').
#pragma once

#include <windows.h>
#include "CString.h"

// The folder of a module's file (null: the program) with a trailing
// backslash, or with fullPath the file's whole path.
CString GetModuleDir(HMODULE module, bool fullPath);

// Drive and folder of a path, with a trailing backslash.
CString GetDirFromPath(LPCTSTR path);

// The file name of a path, with or without its extension.
CString GetFileNameFromPath(LPCTSTR path, bool withExtension);

// True for a full path on a drive of this computer ("C:\..."): never a
// path on another machine (a UNC path or a network drive), a device path or
// a relative one. A path that another process reports is opened only so.
bool IsLocalAbsolutePath(LPCTSTR path);
