#include "CFileFind.h"

namespace {

// The folder part of the search name, made absolute, with a trailing
// separator; empty for a name whose full path the system cannot give.
CString RootOf(LPCTSTR pstrName)
{
    CString full;
    DWORD n = GetFullPathNameA(pstrName, MAX_PATH, full.GetBuffer(MAX_PATH), NULL);
    full.ReleaseBuffer(n > 0 && n < MAX_PATH ? static_cast<int>(n) : 0);
    if (full.IsEmpty())
        full = pstrName;
    int nSeparator = full.ReverseFind('\\');
    int nSlash = full.ReverseFind('/');
    if (nSlash > nSeparator)
        nSeparator = nSlash;
    return full.Left(nSeparator + 1);
}

} // namespace

CFileFind::CFileFind()
    : m_hFind(INVALID_HANDLE_VALUE), m_bHasCurrent(false), m_bHasNext(false), m_current(), m_next()
{
}

CFileFind::~CFileFind()
{
    Close();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD /*dwUnused*/)
{
    Close();
    if (!pstrName)
        pstrName = "*.*";
    m_hFind = FindFirstFileA(pstrName, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHasNext = true;
    m_strRoot = RootOf(pstrName);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_current = m_next;
    m_bHasCurrent = true;
    m_bHasNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHasNext;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHasCurrent = false;
    m_bHasNext = false;
    m_strRoot.Empty();
}

CString CFileFind::GetFileName() const
{
    return m_bHasCurrent ? CString(m_current.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    return m_bHasCurrent ? m_strRoot + m_current.cFileName : CString();
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHasCurrent)
        return FALSE;
    const char *name = m_current.cFileName;
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

BOOL CFileFind::IsDirectory() const
{
    return m_bHasCurrent && (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
