// CFileException: a failed file operation, with its cause, the system's
// error code and the file's name.
#pragma once

#include "CException.h"
#include "CString.h"

#include <windows.h>

class CFileException : public CException
{
public:
    enum
    {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = CFileException::none, LONG lOsError = -1,
                            LPCTSTR lpszFileName = NULL)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
    {
    }

    // The cause that a system error code (GetLastError) stands for.
    static int OsErrorToException(LONG lOsError);
    // Throws a new CFileException for the system error code.
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
