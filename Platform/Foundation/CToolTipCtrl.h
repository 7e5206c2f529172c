// CToolTipCtrl: a tooltip window. Tools are described with the structure
// size the system's tooltips accept (TTTOOLINFOA_V2_SIZE), whatever the
// headers' size is. The tool windows are never subclassed: their owners
// relay mouse messages with RelayEvent from PreTranslateMessage.
#pragma once

#include "CWnd.h"

#include <commctrl.h>

class CToolTipCtrl : public CWnd
{
public:
    // A pop-up owned by pParentWnd.
    BOOL Create(CWnd *pParentWnd, DWORD dwStyle = 0);

    // With nIDTool 0 the tool is the whole window pWnd; otherwise it is the
    // rectangle lpRectTool (else pWnd's client area) of pWnd, named nIDTool.
    BOOL AddTool(CWnd *pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = NULL,
                 UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd *pWnd, UINT_PTR nIDTool = 0);
    void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
    int GetToolCount() const;

private:
    // FALSE when pWnd has no window.
    static BOOL DescribeTool(TOOLINFOA &ti, CWnd *pWnd, UINT_PTR nIDTool);
};
