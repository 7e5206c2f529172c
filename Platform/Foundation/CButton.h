// CButton: a button. An owner-drawn button (BS_OWNERDRAW) draws itself in
// DrawItem: the WM_DRAWITEM its parent receives is handed back to it.
#pragma once

#include "CWnd.h"

class CButton : public CWnd
{
public:
    // Does nothing: owner-drawn buttons override it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult) override;
};
