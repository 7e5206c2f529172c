#include "CFile.h"

#include <initializer_list>

namespace {

const UINT kAccessMask = 0x0003;
const UINT kShareMask = 0x0070;

bool AccessOf(UINT nOpenFlags, DWORD &access)
{
    switch (nOpenFlags & kAccessMask) {
    case CFile::modeRead: access = GENERIC_READ; return true;
    case CFile::modeWrite: access = GENERIC_WRITE; return true;
    case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; return true;
    default: return false;
    }
}

// Other openers may do what this one does not deny; delete is never shared.
bool SharingOf(UINT nOpenFlags, DWORD &share)
{
    switch (nOpenFlags & kShareMask) {
    case CFile::shareCompat:
    case CFile::shareExclusive: share = 0; return true;
    case CFile::shareDenyWrite: share = FILE_SHARE_READ; return true;
    case CFile::shareDenyRead: share = FILE_SHARE_WRITE; return true;
    case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; return true;
    default: return false;
    }
}

DWORD DispositionOf(UINT nOpenFlags)
{
    if (!(nOpenFlags & CFile::modeCreate))
        return OPEN_EXISTING;
    return (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

CString FullPathOf(LPCTSTR lpszFileName)
{
    CString full;
    DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, full.GetBuffer(MAX_PATH), NULL);
    full.ReleaseBuffer(n > 0 && n < MAX_PATH ? static_cast<int>(n) : 0);
    return full.IsEmpty() ? CString(lpszFileName) : full;
}

void Fail(CFileException *pError, LONG lOsError, LPCTSTR lpszFileName)
{
    if (pError) {
        pError->m_cause = CFileException::OsErrorToException(lOsError);
        pError->m_lOsError = lOsError;
        pError->m_strFileName = lpszFileName;
    }
    SetLastError(static_cast<DWORD>(lOsError));
}

} // namespace

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException *pError)
{
    if (m_hFile != hFileNull) {
        CloseHandle(m_hFile);
        m_hFile = hFileNull;
        m_strFileName.Empty();
    }
    if (!lpszFileName)
        lpszFileName = "";

    DWORD access, share;
    if (!AccessOf(nOpenFlags, access) || !SharingOf(nOpenFlags, share)) {
        Fail(pError, ERROR_INVALID_PARAMETER, lpszFileName);
        return FALSE;
    }
    SECURITY_ATTRIBUTES security = {sizeof security, NULL, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE hFile = CreateFileA(lpszFileName, access, share, &security, DispositionOf(nOpenFlags),
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        Fail(pError, static_cast<LONG>(GetLastError()), lpszFileName);
        return FALSE;
    }
    m_hFile = hFile;
    m_strFileName = FullPathOf(lpszFileName);
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    HANDLE hFile = m_hFile;
    m_hFile = hFileNull;
    BOOL closed = CloseHandle(hFile);
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (!closed)
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), name);
}

UINT CFile::Read(void *lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD nRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &nRead, NULL))
        ThrowLastError();
    return nRead;
}

void CFile::Write(const void *lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD nWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &nWritten, NULL))
        ThrowLastError();
    if (nWritten != nCount)
        throw new CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

DWORD CFile::SeekToEnd()
{
    LARGE_INTEGER distance = {}, position;
    if (!SetFilePointerEx(m_hFile, distance, &position, FILE_END))
        ThrowLastError();
    return position.LowPart;
}

DWORD CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return size.LowPart;
}

BOOL CFile::GetStatus(CFileStatus &rStatus) const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    rStatus.m_ctime = CTime(info.ftCreationTime);
    rStatus.m_mtime = CTime(info.ftLastWriteTime);
    rStatus.m_atime = CTime(info.ftLastAccessTime);
    rStatus.m_size = static_cast<LONG>(info.nFileSizeLow);
    rStatus.m_attribute = static_cast<BYTE>(info.dwFileAttributes);
    lstrcpynA(rStatus.m_szFullName, m_strFileName, MAX_PATH);
    return TRUE;
}

CString CFile::GetFileTitle() const
{
    int nSeparator = m_strFileName.ReverseFind('\\');
    for (TCHAR ch : {'/', ':'}) {
        int n = m_strFileName.ReverseFind(ch);
        if (n > nSeparator)
            nSeparator = n;
    }
    return m_strFileName.Mid(nSeparator + 1);
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}
