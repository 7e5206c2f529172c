// CDialog: a window made from a dialog template of the program's resources,
// run modeless (Create) or modal (DoModal).
//
// The dialog window is subclassed in front of the dialog manager, so a
// handler's value is the window's result, as for any other CWnd.
//
// DoModal runs the library's own loop, so the application's
// PreTranslateMessage and every window's relays keep working inside it.
// The loop ends on EndDialog, when the dialog window is destroyed (by
// itself or with its owner; the result is then -1), or on WM_QUIT, which is
// posted again for the loop outside.
#pragma once

#include <windows.h>

#include "CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd *pParentWnd = NULL);

    // Modeless. NULL means no parent; a child parent makes its top-level
    // window the owner. FALSE when the template is missing or the window
    // refuses creation; the object stays deletable.
    BOOL Create(UINT nIDTemplate, CWnd *pParentWnd = NULL);
    // Owner: the parent given; else the application's main window when it
    // has a window and is not this dialog. A child is replaced by its
    // top-level window. The owner is disabled for the loop if it was
    // enabled. Returns EndDialog's value, or -1 (no template, or the window
    // was destroyed without EndDialog).
    virtual int DoModal();
    // Modal: ends the loop with nResult. Modeless: only hides the window.
    void EndDialog(int nResult);

    // UpdateData(FALSE), then TRUE: the focus goes to the first control.
    virtual BOOL OnInitDialog();
    // UpdateData(TRUE), then EndDialog(IDOK) if it succeeded.
    virtual void OnOK();
    // EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Keyboard and mouse messages go to the dialog manager (Tab, Enter,
    // Esc, mnemonics); everything else is dispatched normally. A page (a
    // DS_CONTROL child) keeps Enter and Esc: they reach its own OnOK and
    // OnCancel (or the button Enter presses), never the dialog around it.
    BOOL PreTranslateMessage(MSG *pMsg) override;

    void GotoDlgCtrl(CWnd *pWndCtrl);

    UINT m_nIDHelp;         // the template id: the help topic's number
    CWnd *m_pParentWnd;

protected:
    // A code-0 command with an id from 0x8000 to 0xEFFF that neither the
    // control nor this dialog handles goes to the application's map; never
    // to the parent window.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    // lParam 0 and a help id: the application's help for 0x20000 + the id.
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

private:
    // The template's window, subclassed from its first message on; NULL
    // when the template is missing or creation failed.
    HWND CreateFromTemplate(HWND hWndOwner);
    int RunModalLoop();
    BOOL PreTranslatePageKey(MSG *pMsg);

    UINT m_nIDTemplate;
    BOOL m_bModal = FALSE;
    BOOL m_bModalEnded = FALSE;
    int m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};
