// CHeaderCtrl: a header control, such as a report list's. Item structures
// are the A forms; set cchTextMax to the buffer's size when reading text.
// An owner-drawn header draws its items in DrawItem: the WM_DRAWITEM its
// parent (the list) receives is handed back to it.
#pragma once

#include "ControlMessage.h"

#include <commctrl.h>

class CHeaderCtrl : public CWnd
{
public:
    BOOL GetItem(int nPos, HDITEMA *pHeaderItem) const
    {
        return static_cast<BOOL>(
            SendControlMessage(*this, FALSE, HDM_GETITEMA, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
    }
    BOOL SetItem(int nPos, HDITEMA *pHeaderItem)
    {
        return static_cast<BOOL>(
            SendControlMessage(*this, FALSE, HDM_SETITEMA, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
    }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return static_cast<BOOL>(
            SendControlMessage(*this, FALSE, HDM_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)));
    }
    // -1 on failure.
    int GetItemCount() const { return static_cast<int>(SendControlMessage(*this, -1, HDM_GETITEMCOUNT)); }

    // Does nothing: owner-drawn headers override it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult) override;

    // For the temporary-object machinery only: the header a list hands out
    // when no object of the caller's has subclassed it.
    void AttachTemporary(HWND hWnd) { m_hWnd = hWnd; }
    void DetachTemporary() { m_hWnd = NULL; }
};
