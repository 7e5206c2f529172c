#include "UpdateFileInfo.h"

int CUpdateFileInfo::Read(const CString &path)
{
    Close();
    if (!Open(path, modeRead | shareDenyNone))
        return -1;
    CFileStatus status;
    int result = GetStatus(status) ? 0 : -1;
    if (result == 0)
        m_nSize = static_cast<int>(status.m_size);
    Close();
    return result;
}
