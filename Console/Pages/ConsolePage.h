// CConsolePage: the base of the main window's six pages. A page is a
// frameless child dialog, shown by the main window's side bar, painted from
// the skin's page pieces: its own title tab over the page's title band, and
// the framed client area. Enter and Esc leave it as it is.
#pragma once

#include "SkinDialog.h"

class CConsolePage : public CSkinDialog
{
public:
    // titlePicture: the file of the page's title tab in the skin folder.
    CConsolePage(UINT templateId, CWnd *pParent, LPCTSTR titlePicture)
        : CSkinDialog(templateId, pParent, NULL), m_titlePicture(titlePicture)
    {
    }

    // The skin folder (with its trailing backslash) of the page's pieces;
    // the console's when none is set before the page is created.
    void SetSkinFolder(const CString &folder) { m_skinFolder = folder; }

    // The page as a hidden child of the main window.
    BOOL CreatePage(CWnd *pMainWindow) { return Create(m_nIDHelp, pMainWindow); }

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

protected:
    // The folder set, or the console's.
    CString SkinFolder() const;

    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    LPCTSTR m_titlePicture;
    CString m_skinFolder;
};
