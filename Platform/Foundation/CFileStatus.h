// CFileStatus: what CFile::GetStatus reports about an open file.
#pragma once

#include "CTime.h"

#include <windows.h>

struct CFileStatus
{
    CTime m_ctime;                       // creation
    CTime m_mtime;                       // last write
    CTime m_atime;                       // last access
    LONG m_size = 0;                     // the low 32 bits of the size in bytes
    BYTE m_attribute = 0;                // the low byte of the file attributes
    TCHAR m_szFullName[MAX_PATH] = {};   // the full path as the file was opened
};
