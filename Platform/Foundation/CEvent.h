// CEvent: a Win32 event object, closed with its wrapper. An event that the
// system cannot create leaves m_hObject NULL, and SetEvent and ResetEvent
// then fail.
#pragma once

#include <windows.h>

class CEvent
{
public:
    // bInitiallyOwn: signalled at the start.
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCTSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL)
        : m_hObject(CreateEventA(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName))
    {
    }
    ~CEvent()
    {
        if (m_hObject)
            CloseHandle(m_hObject);
    }

    CEvent(const CEvent &) = delete;
    CEvent &operator=(const CEvent &) = delete;

    BOOL SetEvent() { return ::SetEvent(m_hObject); }
    BOOL ResetEvent() { return ::ResetEvent(m_hObject); }

    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject;
};
