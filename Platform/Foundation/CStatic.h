// CStatic: a static control; the base of the skinned labels, check boxes
// and bars.
#pragma once

#include "CWnd.h"

class CStatic : public CWnd
{
public:
    // Created as a child of pParentWnd; the object is attached while the
    // window is created, so PreSubclassWindow and WM_CREATE reach it.
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT &rect, CWnd *pParentWnd,
                UINT nID = 0xFFFF)
    {
        return CreateEx(0, "STATIC", lpszText, dwStyle, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top,
                        pParentWnd ? pParentWnd->GetSafeHwnd() : NULL,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
    }
};
