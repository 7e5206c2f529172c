// CPaintDC: the DC of a WM_PAINT handler, from BeginPaint to EndPaint. A
// window-less CWnd gives an empty object (no DC), never the screen.
#pragma once

#include "CDC.h"
#include "CWnd.h"

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd *pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : NULL)
    {
        if (m_hWnd)
            Attach(::BeginPaint(m_hWnd, &m_ps));
    }
    ~CPaintDC() override
    {
        if (m_hWnd) {
            Detach();
            ::EndPaint(m_hWnd, &m_ps);
        }
    }

    PAINTSTRUCT m_ps = {};

protected:
    HWND m_hWnd;
};
