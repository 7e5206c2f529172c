// CConsolePage: the base of the main window's six pages. A page is a
// frameless child dialog, shown by the main window's side bar; until it
// paints its own pieces it shows the skin's client colour. Enter and Esc
// leave it as it is.
#pragma once

#include "SkinDialog.h"

class CConsolePage : public CSkinDialog
{
public:
    CConsolePage(UINT templateId, CWnd *pParent) : CSkinDialog(templateId, pParent, NULL) {}

    // The page as a child of the main window, hidden.
    BOOL CreatePage(CWnd *pMainWindow) { return Create(m_nIDHelp, pMainWindow); }

    void OnOK() override {}
    void OnCancel() override {}

protected:
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
