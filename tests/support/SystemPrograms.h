// Paths of programs as a real machine's rules and logs name them, for the
// benchmark programs: the files of the system folder, so that the pages
// read real files and icons, then made-up paths once those run out.
#pragma once

#include <CString.h>

#include <vector>

// `count` distinct paths: the system folder's programs, then its libraries,
// then paths under C:\Program Files\ that name no file.
std::vector<CString> SystemProgramPaths(int count);
