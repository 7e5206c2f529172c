// Dialog data exchange: DoDataExchange moves values between a window's
// controls and its members, in the direction UpdateData asks for.
//
// A DDX call that cannot do its work (a missing control, a control that
// cannot be bound) marks the exchange failed and UpdateData returns FALSE;
// nothing is thrown and no box is shown.
#pragma once

#include <windows.h>

#include "CString.h"
#include "CTime.h"

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd *pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    // The control of that id in the window; NULL (and the exchange failed)
    // when there is none.
    HWND PrepareCtrl(int nIDC);
    void Fail() { m_bFailed = TRUE; }
    BOOL HasFailed() const { return m_bFailed; }

    BOOL m_bSaveAndValidate;   // TRUE: controls to members
    CWnd *m_pDlgWnd;

private:
    BOOL m_bFailed = FALSE;
};

// Binds the control to rControl by subclassing it, only while rControl has
// no window, so repeated exchanges never bind twice.
void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
// Loads set the text only when it differs, so no EN_CHANGE follows an
// unchanged value.
void DDX_Text(CDataExchange *pDX, int nIDC, CString &value);
// Loads "%d"; saves the atoi of the text. Never validates: "12abc" gives
// 12 and an empty field 0.
void DDX_Text(CDataExchange *pDX, int nIDC, int &value);
// A date-time picker as local time. A picker without a valid value leaves
// the member unchanged on save.
void DDX_DateTimeCtrl(CDataExchange *pDX, int nIDC, CTime &value);
