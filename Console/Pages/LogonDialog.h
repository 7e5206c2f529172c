// CLogonDialog: asks for the console password before the console is logged
// on again. It ends with IDOK only for the stored password, compared
// exactly; a wrong one is told and may be corrected.
#pragma once

#include "DataBase.h"
#include "LanguageText.h"

#include <CDialog.h>
#include <CString.h>

class CLogonDialog : public CDialog
{
public:
    // The settings store holds the password; the texts come from the
    // language file.
    CLogonDialog(CDataBase &settings, const CString &languageFile, CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The entered password.
    CString m_password;

protected:
    void DoDataExchange(CDataExchange *pDX) override;

private:
    CDataBase &m_settings;
    CString m_languageFile;
    CLanguageText m_texts;
};
