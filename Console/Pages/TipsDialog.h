// CTipsDialog: one short tip about the console at a time, from the
// language file, with a button for the next one and a box that decides
// whether the tips open at the console's first show. Modeless and owned by
// the main window; which tip comes next is kept in the settings store
// between openings.
//
// Close, the cross and Esc store the next index, send WM_TIPS_CLOSED to
// the parent and destroy the window; the object deletes itself once the
// window is gone. Enter only hides the window.
#pragma once

#include "DataBase.h"
#include "LanguageText.h"
#include "SkinButton.h"
#include "SkinCheckBox.h"
#include "SkinDialog.h"
#include "SkinLabel.h"

#include <CStringArray.h>

class CTipsDialog : public CSkinDialog
{
public:
    // No more tips are read than this, whatever the count says.
    static const int MaxTips = 1000;

    // skinFolder ends with a backslash.
    CTipsDialog(CWnd *pParent, CDataBase &settings, const CString &languageFile,
                const CString &skinFolder);

    // Creates the window over the parent and shows it; FALSE when it could
    // not be made (the object is then the caller's to delete).
    BOOL CreateAndShow();

    BOOL OnInitDialog() override;
    void OnCancel() override;

    // The tip on screen and the index that Next shows.
    CString CurrentTip() const;
    UINT NextIndex() const { return m_nextIndex; }

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    void PostNcDestroy() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNext();
    afx_msg void OnShowAtStart();
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void LoadTips();
    // Shows the tip at the next index and moves the index on.
    void ShowNextTip();

    CDataBase &m_settings;
    CString m_languageFile;
    CString m_skinFolder;
    CLanguageText m_texts;
    CStringArray m_tips;
    UINT m_nextIndex = 0;
    CSkinLabel m_title;
    CSkinCheckBox m_showAtStart;
    CSkinLabel m_tipText;
    CSkinLabel m_heading;
    CSkinButton m_close;
    CSkinButton m_next;
    CSkinButton m_cross;
};
