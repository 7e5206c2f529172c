#include "CToolTipCtrl.h"

#include "CWinApp.h"
#include "ControlMessage.h"

BOOL CToolTipCtrl::Create(CWnd *pParentWnd, DWORD dwStyle)
{
    AfxInitCommonControls();
    return CreateEx(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->GetSafeHwnd() : NULL,
                    NULL);
}

BOOL CToolTipCtrl::DescribeTool(TOOLINFOA &ti, CWnd *pWnd, UINT_PTR nIDTool)
{
    HWND hWndTool = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (hWndTool == NULL)
        return FALSE;
    ti = TOOLINFOA();
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (nIDTool == 0) {
        HWND hWndParent = ::GetParent(hWndTool);
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = hWndParent ? hWndParent : hWndTool;
        ti.uId = reinterpret_cast<UINT_PTR>(hWndTool);
    } else {
        ti.hwnd = hWndTool;
        ti.uId = nIDTool;
    }
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd *pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFOA ti;
    if (!DescribeTool(ti, pWnd, nIDTool))
        return FALSE;
    if (nIDTool != 0) {
        if (lpRectTool)
            ti.rect = *lpRectTool;
        else
            ::GetClientRect(ti.hwnd, &ti.rect);
    }
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(
        SendControlMessage(*this, FALSE, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd *pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA ti;
    if (!DescribeTool(ti, pWnd, nIDTool))
        return;
    ti.lpszText = const_cast<LPSTR>(lpszText);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

int CToolTipCtrl::GetToolCount() const
{
    return static_cast<int>(SendControlMessage(*this, 0, TTM_GETTOOLCOUNT));
}
