// CClientDC: a window's client-area DC, from GetDC to ReleaseDC. A
// window-less CWnd gives an empty object (no DC), never the screen.
#pragma once

#include "CDC.h"
#include "CWnd.h"

class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd *pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : NULL)
    {
        if (m_hWnd)
            Attach(::GetDC(m_hWnd));
    }
    ~CClientDC() override
    {
        if (m_hWnd)
            ::ReleaseDC(m_hWnd, Detach());
    }

protected:
    HWND m_hWnd;
};
