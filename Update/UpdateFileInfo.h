// CUpdateFileInfo: the updater's reader of a file's facts, the program
// description reader of the control kit taking the path as a CString. The
// updater needs only the size.
#pragma once

#include "FileInfo.h"

class CUpdateFileInfo : public CFileInfo
{
public:
    // 0, or -1 when the file cannot be opened or its status not read.
    int Read(const CString &path) { return CFileInfo::Read(path); }
};
