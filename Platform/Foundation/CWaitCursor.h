// CWaitCursor: the hourglass for the life of the object, then the cursor
// that was shown before.
#pragma once

#include <windows.h>

class CWaitCursor
{
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursor(NULL, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }

    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;

private:
    HCURSOR m_hPrevious;
};
