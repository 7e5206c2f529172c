// The sample's page: a child dialog with one control of each kind the
// program's templates use, each logging what it does.
#pragma once

#include "FoundationUi.h"

// A static text that works as a check box: it flips its own mark on a
// click, before its parent hears of the click.
class CSampleCheck : public CStatic
{
public:
    BOOL m_bChecked = FALSE;

protected:
    void PreSubclassWindow() override;
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()
};

// An owner-drawn button whose face shows when it is pressed.
class CSampleButton : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};

// A report list that colours every other row itself and opens its own menu
// on a right click, taking the menu's command in its own map.
class CSampleList : public CListCtrl
{
public:
    void Fill();

protected:
    afx_msg void OnCustomDraw(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg void OnRightClick(NMHDR *pNMHDR, LRESULT *pResult);
    afx_msg void OnMark();
    DECLARE_MESSAGE_MAP()

private:
    int m_nMenuRow = -1;
};

class CSamplePage : public CDialog
{
public:
    CSamplePage();

    CString m_strName;
    int m_nNumber = 0;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc on the page end nothing.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnCheckClicked();
    afx_msg void OnNumberChange();
    afx_msg void OnSave();
    afx_msg LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CSampleCheck m_check;
    CSampleButton m_save;
    CSampleList m_list;
};
