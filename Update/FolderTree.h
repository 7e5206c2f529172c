// Whole folders of files: listed, copied over the program folder, removed.
#pragma once

#include <windows.h>

#include "CString.h"

#include <vector>

// The file written under its name followed by "_" when installed, compared
// in lower case; empty when no file is treated so. A build setting.
extern const char UPDATE_RENAMED_FILE[];

// The files below a folder, as paths relative to it ("sub\name"), folders
// first found first; "." and ".." skipped.
std::vector<CString> ListTreeFiles(const CString &folder);

// The name a file of the source gets in the destination: its own, or with
// "_" appended for the renamed file.
CString InstalledName(const CString &name, LPCSTR renamedFile = UPDATE_RENAMED_FILE);

// Removes every file and folder below the folder, then the folder itself.
// Failures are passed over.
void DeleteTree(const CString &folder);

// Copies the source's files over the destination's, making folders as
// needed. A file that holds the source's bytes already is left alone. A
// file in use that cannot be deleted is renamed aside in its folder
// (name.qfwold) and removed once free. A file that cannot be replaced or
// copied clears *ok, and the old one keeps its name; copying goes on. A
// held "idlewatch.dll" is left as it is without failure, and its path
// added to *leftAlone when given.
void CopyTree(const CString &source, const CString &destination, BOOL *ok,
              LPCSTR renamedFile = UPDATE_RENAMED_FILE,
              std::vector<CString> *leftAlone = nullptr);

// Removes the files that copies put aside below the folder and that are
// free now.
void RemoveFilesPutAside(const CString &folder);

// Makes the folders of a relative path below root ("a\b\c.dll": a, a\b).
void CreatePathFolders(const CString &root, const CString &relative);

bool FileExists(const CString &path);
