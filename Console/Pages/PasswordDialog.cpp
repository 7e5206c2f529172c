#include "PasswordDialog.h"

#include "OptionsResources.h"

#include <DataExchange.h>

CPasswordDialog::CPasswordDialog(CDataBase &settings, const CString &languageFile, CWnd *pParent)
    : CDialog(IDD_PASSWORD, pParent), m_settings(settings), m_languageFile(languageFile)
{
}

void CPasswordDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PW_OLD, m_oldPassword);
    DDX_Text(pDX, IDC_PW_NEW, m_newPassword);
    DDX_Text(pDX, IDC_PW_CONFIRM, m_confirmation);
}

BOOL CPasswordDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_texts.SetSource(m_languageFile, "DLG_PW", "APP", "APP_NAME");
    SetWindowText(m_texts.GetText("L_Title"));
    GetDlgItem(IDC_PW_OLD_LABEL)->SetWindowText(m_texts.GetText("L_Old"));
    GetDlgItem(IDC_PW_NEW_LABEL)->SetWindowText(m_texts.GetText("L_New"));
    GetDlgItem(IDC_PW_CONFIRM_LABEL)->SetWindowText(m_texts.GetText("L_Confirm"));
    if (m_settings.GetPassword().IsEmpty()) {
        // Nothing to prove: the old entry stays empty, which matches.
        GetDlgItem(IDC_PW_OLD)->EnableWindow(FALSE);
        FocusOn(IDC_PW_NEW);
        return FALSE;
    }
    return TRUE;
}

int CPasswordDialog::Tell(LPCTSTR key, UINT type)
{
    return MessageBox(m_texts.GetText(key), m_texts.GetAppName(), type);
}

void CPasswordDialog::FocusOn(int controlId)
{
    GotoDlgCtrl(GetDlgItem(controlId));
}

BOOL CPasswordDialog::StoreNewPassword()
{
    return m_settings.SetPassword(m_newPassword) && m_settings.GetPassword() == m_newPassword;
}

void CPasswordDialog::OnOK()
{
    UpdateData(TRUE);
    const CString stored = m_settings.GetPassword();
    if (m_oldPassword.IsEmpty() && !stored.IsEmpty()) {
        Tell("ERR_OldEmpty", MB_ICONHAND);
        FocusOn(IDC_PW_OLD);
        return;
    }
    if (m_oldPassword != stored) {
        Tell("ERR_OldErr", MB_ICONHAND);
        FocusOn(IDC_PW_OLD);
        return;
    }
    if (m_confirmation != m_newPassword) {
        Tell("ERR_ConfirmError", MB_ICONHAND);
        FocusOn(IDC_PW_CONFIRM);
        return;
    }
    if (m_newPassword.IsEmpty() && Tell("ERR_NewEmpty", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        FocusOn(IDC_PW_NEW);
        return;
    }
    if (!StoreNewPassword()) {
        Tell("ERR_SaveFailed", MB_ICONHAND);
        FocusOn(IDC_PW_NEW);
        return;
    }
    EndDialog(IDOK);
}
