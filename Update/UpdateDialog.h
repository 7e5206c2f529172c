// CUpdateDialog: the updater's one window. It shows the step text, the file
// being fetched and two percent bars, and runs the update's step machine
// from its messages until the update ends.
#pragma once

#include "CDialog.h"
#include "LanguageText.h"
#include "PercentBar.h"
#include "SkinBitmap.h"
#include "UpdateSteps.h"
#include "UpdateView.h"

#include <memory>

class CUpdateDialog : public CDialog, public IUpdateView
{
public:
    explicit CUpdateDialog(CWnd *pParent = NULL);

    // The dialog's place and size on a screen of the given full-screen
    // metrics; x, y, width, height.
    static CRect Placement(int cxFullScreen, int cyFullScreen, int cyCaption);

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    // Escape and the system menu's close: the run decides when.
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnStopButton();
    afx_msg LRESULT OnCloseUpdate(WPARAM, LPARAM);
    afx_msg LRESULT OnUpdateStep(WPARAM, LPARAM);
    afx_msg LRESULT OnShowStep(WPARAM, LPARAM);
    afx_msg LRESULT OnDownloadDone(WPARAM wParam, LPARAM);
    afx_msg LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT id);

    // What the step machine shows.
    void ShowStepText(LPCSTR key) override;
    void ShowBox(LPCSTR key, UINT icon) override;
    void ShowBoxNaming(LPCSTR key, const CString &name) override;
    void ShowDownloadName(const CString &name) override;
    void SetCurrentPercent(int percent) override;
    void SetTotalPercent(int percent) override;
    void DestroyDialog() override;

private:
    void LayOut();

    CLanguageText m_text;
    CString m_strDir;
    CPercentBar m_currentBar;
    CPercentBar m_totalBar;
    HICON m_hIcon;
    CSkinBitmap m_skin;
    std::unique_ptr<CUpdateSteps> m_steps;

    DECLARE_MESSAGE_MAP()
};
