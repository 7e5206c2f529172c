// CFile: a binary file over a Win32 handle. Open reports failures through
// its result; the other members throw a CFileException* (see CException.h).
// There is no text mode: bytes are written and read as they are.
#pragma once

#include "CFileException.h"
#include "CFileStatus.h"
#include "CString.h"

#include <windows.h>
// commdlg.h maps GetFileTitle to GetFileTitleA; included here so that the
// member has that one name in every file that sees this class.
#include <commdlg.h>

class CFile
{
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,      // accepted and ignored
        typeBinary = 0x8000
    };

    static inline const HANDLE hFileNull = INVALID_HANDLE_VALUE;

    CFile() : m_hFile(hFileNull) {}
    // Opens the file or throws a CFileException*.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    // Closes a file still open, never throwing.
    virtual ~CFile();

    CFile(const CFile &) = delete;
    CFile &operator=(const CFile &) = delete;

    // Never throws. On failure fills *pError (when given) with the cause,
    // the system error and the name, and returns FALSE. A file this object
    // still holds is closed first.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException *pError = NULL);
    // Does nothing when no file is open.
    virtual void Close();

    // The number of bytes read: less than nCount only at the end of the file.
    virtual UINT Read(void *lpBuf, UINT nCount);
    // Writes all nCount bytes; a short write throws with diskFull.
    virtual void Write(const void *lpBuf, UINT nCount);
    // The new position, which is the length.
    DWORD SeekToEnd();
    virtual DWORD GetLength() const;

    // Reads the times, size and attributes from the open handle. FALSE only
    // when the system cannot say them.
    BOOL GetStatus(CFileStatus &rStatus) const;
    // The last component of the path as opened, with its extension.
    virtual CString GetFileTitle() const;

    HANDLE m_hFile;

protected:
    CString m_strFileName;   // the full path of the open file

private:
    [[noreturn]] void ThrowLastError() const;
};
