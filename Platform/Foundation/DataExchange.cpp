// Dialog data exchange.
#include "DataExchange.h"

#include <cstdio>
#include <cstdlib>

#include "CWnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndDlg = m_pDlgWnd != NULL ? m_pDlgWnd->m_hWnd : NULL;
    HWND hWndCtrl = hWndDlg != NULL ? ::GetDlgItem(hWndDlg, nIDC) : NULL;
    if (hWndCtrl == NULL)
        Fail();
    return hWndCtrl;
}

void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl)
{
    if (rControl.m_hWnd != NULL)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl != NULL && !rControl.SubclassWindow(hWndCtrl))
        pDX->Fail();
}

static CString ControlText(HWND hWndCtrl)
{
    CString strText;
    const int nLength = ::GetWindowTextLengthA(hWndCtrl);
    if (nLength > 0)
    {
        ::GetWindowTextA(hWndCtrl, strText.GetBuffer(nLength), nLength + 1);
        strText.ReleaseBuffer();
    }
    return strText;
}

// An edit control sends EN_CHANGE for every WM_SETTEXT, even of the same text.
static void SetControlTextIfChanged(HWND hWndCtrl, LPCTSTR lpszText)
{
    if (ControlText(hWndCtrl).Compare(lpszText) != 0)
        ::SetWindowTextA(hWndCtrl, lpszText);
}

void DDX_Text(CDataExchange *pDX, int nIDC, CString &value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        SetControlTextIfChanged(hWndCtrl, value);
}

void DDX_Text(CDataExchange *pDX, int nIDC, int &value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        value = atoi(ControlText(hWndCtrl));
    }
    else
    {
        char szNumber[16];
        snprintf(szNumber, sizeof szNumber, "%d", value);
        SetControlTextIfChanged(hWndCtrl, szNumber);
    }
}

void DDX_DateTimeCtrl(CDataExchange *pDX, int nIDC, CTime &value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == NULL)
        return;
    SYSTEMTIME st = {};
    if (pDX->m_bSaveAndValidate)
    {
        if (::SendMessageA(hWndCtrl, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            value = CTime(st);
    }
    else if (value.GetAsSystemTime(st))
    {
        ::SendMessageA(hWndCtrl, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
}
