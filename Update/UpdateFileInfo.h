// CUpdateFileInfo: the updater's reader of a file's facts, of which the
// updater needs the size.
#pragma once

#include "CFile.h"

class CUpdateFileInfo : public CFile
{
public:
    // 0, or -1 when the file cannot be opened or its status not read.
    int Read(const CString &path);

    int m_nSize = 0;
};
