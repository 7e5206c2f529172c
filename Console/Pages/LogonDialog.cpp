#include "LogonDialog.h"

#include "OptionsResources.h"

#include <DataExchange.h>

CLogonDialog::CLogonDialog(CDataBase &settings, const CString &languageFile, CWnd *pParent)
    : CDialog(IDD_LOGON, pParent), m_settings(settings), m_languageFile(languageFile)
{
}

void CLogonDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOGON_PASSWORD, m_password);
}

BOOL CLogonDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_texts.SetSource(m_languageFile, "DLG_LOGON", "APP", "APP_NAME");
    SetWindowText(m_texts.GetText("L_Title"));
    GetDlgItem(IDC_LOGON_LABEL)->SetWindowText(m_texts.GetText("L_PW"));
    return TRUE;
}

void CLogonDialog::OnOK()
{
    UpdateData(TRUE);
    // An empty stored text is no password: it is also what a failed read
    // gives, and must never let an empty entry in.
    const CString stored = m_settings.GetPassword();
    if (!stored.IsEmpty() && m_password == stored) {
        EndDialog(IDOK);
        return;
    }
    MessageBox(m_texts.GetText("ERR_PWError"), m_texts.GetAppName(), MB_ICONHAND);
    GetDlgItem(IDC_LOGON_PASSWORD)->SetFocus();
}
