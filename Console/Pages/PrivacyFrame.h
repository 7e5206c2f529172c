// CPrivacyFrame: a page of the about kind with a single placeholder text,
// its client area filled from the skin. No window of the console makes it.
#pragma once

#include "LanguageText.h"
#include "SkinDialog.h"

class CPrivacyFrame : public CSkinDialog
{
public:
    // skinFolder ends with a backslash.
    CPrivacyFrame(CWnd *pParent, const CString &languageFile, const CString &skinFolder);

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    // The client rectangle of the last layout.
    const CRect &LaidOut() const { return m_laidOut; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString m_languageFile;
    CString m_skinFolder;
    CLanguageText m_texts;
    CRect m_laidOut;
};
