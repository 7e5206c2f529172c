// CComboBox: a combo box's list. Index members give CB_ERR (-1) on
// failure, a window-less wrapper included.
#pragma once

#include "ControlMessage.h"

class CComboBox : public CWnd
{
public:
    int AddString(LPCTSTR lpszString)
    {
        return Send(CB_ERR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString));
    }
    int InsertString(int nIndex, LPCTSTR lpszString)
    {
        return Send(CB_ERR, CB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(lpszString));
    }
    // The number of items left.
    int DeleteString(UINT nIndex) { return Send(CB_ERR, CB_DELETESTRING, nIndex); }
    void ResetContent() { Send(0, CB_RESETCONTENT); }
    int GetCount() const { return Send(CB_ERR, CB_GETCOUNT); }
    int GetCurSel() const { return Send(CB_ERR, CB_GETCURSEL); }
    // -1 clears the selection (and returns CB_ERR).
    int SetCurSel(int nSelect) { return Send(CB_ERR, CB_SETCURSEL, nSelect); }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(SendControlMessage(*this, CB_ERR, CB_GETITEMDATA, nIndex));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return Send(CB_ERR, CB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData));
    }

private:
    int Send(int failure, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return static_cast<int>(SendControlMessage(*this, failure, message, wParam, lParam));
    }
};
