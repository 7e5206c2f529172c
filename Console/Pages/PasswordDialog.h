// CPasswordDialog: sets, changes or clears the console password. The old
// password is asked for whenever one is stored; the new one must be typed
// twice; an empty new one clears the protection after a question. The
// dialog ends with IDOK only when the store holds the new password.
#pragma once

#include "DataBase.h"
#include "LanguageText.h"

#include <CDialog.h>
#include <CString.h>

class CPasswordDialog : public CDialog
{
public:
    CPasswordDialog(CDataBase &settings, const CString &languageFile, CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_oldPassword;
    CString m_newPassword;
    CString m_confirmation;

protected:
    void DoDataExchange(CDataExchange *pDX) override;

private:
    // A box of the dialog's texts under the program's name.
    int Tell(LPCTSTR key, UINT type);
    void FocusOn(int controlId);
    // Stores the new password and reads it back.
    BOOL StoreNewPassword();

    CDataBase &m_settings;
    CString m_languageFile;
    CLanguageText m_texts;
};
