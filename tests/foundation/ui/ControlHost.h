// A shown top-level window for control tests, whose controls are created
// into their wrappers with CreateEx, so that each wrapper is the control's
// permanent object from the start.
#pragma once

#include "FoundationUi.h"
#include "UiPump.h"

#include <commctrl.h>

class CControlHost : public CWnd
{
public:
    CControlHost()
    {
        AfxInitCommonControls();
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW),
                                        static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))),
                 "Controls", WS_POPUP | WS_BORDER | WS_VISIBLE, 40, 40, 420, 320, NULL, NULL);
    }
    ~CControlHost() override
    {
        DestroyWindow();
        AfxDeleteTempObjects();
    }

    // Creates the control as a child with the given id.
    BOOL Add(CWnd &control, LPCTSTR lpszClass, DWORD dwStyle, const RECT &rect, UINT nID,
             LPCTSTR lpszText = "")
    {
        return control.CreateEx(0, lpszClass, lpszText, WS_CHILD | WS_VISIBLE | dwStyle, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
    }
};
