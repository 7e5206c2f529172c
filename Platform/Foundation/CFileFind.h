// CFileFind: the files that match a name, one after the other, with a
// look-ahead: FindFile positions before the first match, and FindNextFile
// makes the next match current and returns FALSE when that one is the last.
//     BOOL more = finder.FindFile(pattern);
//     while (more) { more = finder.FindNextFile(); use(finder.GetFileName()); }
//
// The name goes to FindFirstFileA as it is: '*' and '?' are wildcards, and
// a name without a folder is looked up in the current directory.
#pragma once

#include "CString.h"

#include <windows.h>

class CFileFind
{
public:
    CFileFind();
    virtual ~CFileFind();

    CFileFind(const CFileFind &) = delete;
    CFileFind &operator=(const CFileFind &) = delete;

    // NULL looks for "*.*". A search still open is closed first.
    BOOL FindFile(LPCTSTR pstrName = NULL, DWORD dwUnused = 0);
    BOOL FindNextFile();
    void Close();

    // The current match, made so by FindNextFile.
    CString GetFileName() const;
    CString GetFilePath() const;   // the folder of the search and the name
    BOOL IsDots() const;           // "." or ".."
    BOOL IsDirectory() const;

private:
    HANDLE m_hFind;
    bool m_bHasCurrent;
    bool m_bHasNext;
    WIN32_FIND_DATAA m_current;
    WIN32_FIND_DATAA m_next;
    CString m_strRoot;             // the folder of the search, with its separator
};
