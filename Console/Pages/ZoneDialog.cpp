#include "ZoneDialog.h"

#include "ConsoleApp.h"
#include "ConsoleResources.h"
#include "ConsoleSettings.h"
#include "LoggedOnRefusal.h"
#include "MemoryDC.h"

#include <CPaintDC.h>
#include <DataExchange.h>

namespace {

// The title keys of DLG_ZONE by type: trusted add, blocked add, edit.
const LPCTSTR TITLE_KEYS[4][3] = {
    {"Trusted_Title_AddIpAddress", "Blocked_Title_AddIpAddress", "Title_EditIpAddress"},
    {"Trusted_Title_AddIpRange", "Blocked_Title_AddIpRange", "Title_EditIpRange"},
    {"Trusted_Title_AddSubnet", "Blocked_Title_AddSubnet", "Title_EditSubnet"},
    {"Trusted_Title_AddHost", "Blocked_Title_AddHost", "Title_EditHost"},
};

const int HOST_CONTROLS[] = {IDC_ZONE_HOST_LABEL, IDC_ZONE_HOST_NAME, IDC_ZONE_NOTE, IDC_ZONE_LOOKUP};
const int FIRST_ADDRESS_CONTROLS[] = {IDC_ZONE_FIRST_LABEL, IDC_ZONE_FIRST_ADDRESS};
const int SECOND_ADDRESS_CONTROLS[] = {IDC_ZONE_SECOND_LABEL, IDC_ZONE_SECOND_ADDRESS};
const int DESCRIPTION_CONTROLS[] = {IDC_ZONE_DESCRIPTION_LABEL, IDC_ZONE_DESCRIPTION};

template <size_t N>
constexpr int Count(const int (&)[N])
{
    return static_cast<int>(N);
}

} // namespace

BEGIN_MESSAGE_MAP(CZoneDialog, CSkinDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_ZONE_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CZoneDialog::CZoneDialog(CWnd *pParent) : CSkinDialog(IDD_ZONE_EDITOR, pParent, NULL)
{
}

void CZoneDialog::DoDataExchange(CDataExchange *pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZONE_CLOSE, m_closeButton);
    DDX_Control(pDX, IDOK, m_okButton);
    DDX_Control(pDX, IDCANCEL, m_cancelButton);
    DDX_Control(pDX, IDC_ZONE_FIRST_ADDRESS, m_firstAddress);
    DDX_Control(pDX, IDC_ZONE_SECOND_ADDRESS, m_secondAddress);
    DDX_Control(pDX, IDC_ZONE_SECOND_LABEL, m_secondAddressLabel);
    DDX_Control(pDX, IDC_ZONE_FIRST_LABEL, m_firstAddressLabel);
    DDX_Control(pDX, IDC_ZONE_LOOKUP, m_lookupButton);
    DDX_Control(pDX, IDC_ZONE_TITLE, m_title);
    DDX_Control(pDX, IDC_ZONE_HOST_LABEL, m_hostNameLabel);
    DDX_Control(pDX, IDC_ZONE_DESCRIPTION_LABEL, m_descriptionLabel);
    DDX_Text(pDX, IDC_ZONE_DESCRIPTION, m_description);
    DDX_Text(pDX, IDC_ZONE_HOST_NAME, m_hostName);
    DDX_Text(pDX, IDC_ZONE_NOTE, m_note);
}

BOOL CZoneDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_bCaptionDrag = TRUE;
    m_bResize = FALSE;
    m_texts.SetSource(*GetConsoleApp()->GetLanguagePath(), "DLG_ZONE", "APP", "APP_NAME");
    LoadSkin();
    m_description = m_record.Name;
    m_hostName = m_record.Site;
    // A longer name would not fit the store's column or the rule image.
    SendDlgItemMessage(IDC_ZONE_HOST_NAME, EM_LIMITTEXT, MAX_HOST_NAME, 0);
    m_firstAddress.SetAddress(m_record.IP1);
    m_secondAddress.SetAddress(m_record.IP2);
    LayoutForType(m_record.Type);
    SetupForType(m_record.Type);
    UpdateData(FALSE);
    CenterWindow();
    return TRUE;
}

void CZoneDialog::LoadSkin()
{
    const CString folder = ConsoleSkinFolder();
    LoadPopupPieces(folder);
    m_closeButton.SetBitmap(folder + "Close.bmp", 3, FALSE);
    m_lookupButton.SetBitmap(folder + "But_Lookup.bmp", 3, FALSE);
    m_okButton.SetBitmap(folder + "But_Ok.bmp", 3, FALSE);
    m_cancelButton.SetBitmap(folder + "But_Cancel.bmp", 3, FALSE);
}

void CZoneDialog::LayoutForType(BYTE type)
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width();
    const int closeWidth = m_closeButton.m_nStateWidth;
    m_closeButton.MoveWindow(W - closeWidth - 8, 6, closeWidth, m_closeButton.m_nStateHeight);
    m_title.MoveWindow(30, 40, W - 60, 60);
    if (type > ZONE_ENTRY_HOST) {
        SetWindowRegion();
        return;
    }

    // Rows from the top: the host name or the addresses, then the
    // description, then the buttons.
    int descriptionTop = 150, buttonTop = 220;
    if (type == ZONE_ENTRY_HOST) {
        m_hostNameLabel.MoveWindow(30, 100, 70, 22);
        GetDlgItem(IDC_ZONE_HOST_NAME)->MoveWindow(105, 100, W - 200, 22);
        m_lookupButton.MoveWindow(W - 90, 100, 60, 22);
        GetDlgItem(IDC_ZONE_NOTE)->MoveWindow(105, 160, W - 135, 80);
        descriptionTop = 130;
        buttonTop = 250;
    } else {
        m_firstAddressLabel.MoveWindow(30, 120, 70, 22);
        m_firstAddress.MoveWindow(105, 120, 140, 22);
        if (type != ZONE_ENTRY_ADDRESS) {
            m_secondAddressLabel.MoveWindow(30, 150, 70, 20);
            m_secondAddress.MoveWindow(105, 150, 140, 22);
            descriptionTop = 180;
            buttonTop = 230;
        }
    }
    m_descriptionLabel.MoveWindow(30, descriptionTop, 70, 20);
    GetDlgItem(IDC_ZONE_DESCRIPTION)->MoveWindow(105, descriptionTop, W - 135, 22);
    // Cancel takes the OK button's width and its own height.
    const int okWidth = m_okButton.m_nStateWidth;
    m_okButton.MoveWindow(130 - okWidth / 2, buttonTop, okWidth, m_okButton.m_nStateHeight);
    m_cancelButton.MoveWindow(300 - okWidth / 2, buttonTop, okWidth, m_cancelButton.m_nStateHeight);
    SetWindowRegion();
}

void CZoneDialog::ShowControls(const int *ids, int count, int show)
{
    for (int i = 0; i < count; ++i)
        GetDlgItem(ids[i])->ShowWindow(show);
}

void CZoneDialog::SetupForType(BYTE type)
{
    m_title.ShowWindow(SW_SHOW);
    m_descriptionLabel.SetWindowText(m_texts.GetText("Label_Description"));
    m_okButton.SetWindowText(m_texts.GetText("But_Ok"));
    m_cancelButton.SetWindowText(m_texts.GetText("But_Cancel"));
    if (type > ZONE_ENTRY_HOST)
        return;

    const bool host = type == ZONE_ENTRY_HOST;
    ShowControls(HOST_CONTROLS, Count(HOST_CONTROLS), host ? SW_SHOW : SW_HIDE);
    ShowControls(FIRST_ADDRESS_CONTROLS, Count(FIRST_ADDRESS_CONTROLS), host ? SW_HIDE : SW_SHOW);
    const bool twoAddresses = type == ZONE_ENTRY_RANGE || type == ZONE_ENTRY_SUBNET;
    ShowControls(SECOND_ADDRESS_CONTROLS, Count(SECOND_ADDRESS_CONTROLS), twoAddresses ? SW_SHOW : SW_HIDE);
    ShowControls(DESCRIPTION_CONTROLS, Count(DESCRIPTION_CONTROLS), SW_SHOW);
    if (host)
        m_hostNameLabel.SetWindowText(m_texts.GetText("Label_HostName"));

    int column = -1;
    if (m_editFlag == 1)
        column = 2;
    else if (m_editFlag == 0 && m_listFlag <= 1)
        column = m_listFlag;
    if (column >= 0)
        m_title.SetWindowText(m_texts.GetText(TITLE_KEYS[type][column]));
}

void CZoneDialog::OnOK()
{
    if (RefuseWhileLoggedOff(m_hWnd, m_texts))
        return;
    UpdateData(TRUE);
    if (m_description.IsEmpty()) {
        MessageBox(m_texts.GetText("ERR_NameEmpty"), m_texts.GetAppName(), MB_ICONHAND);
        GotoDlgCtrl(GetDlgItem(IDC_ZONE_DESCRIPTION));
        return;
    }
    DWORD first = 0, second = 0;
    m_firstAddress.GetAddress(first);
    m_secondAddress.GetAddress(second);
    if (RefuseAddresses(first, second))
        return;
    // Every field, hidden ones included: a hidden field still holds what
    // the record gave it.
    m_record.Name = m_description;
    m_record.Site = m_hostName;
    m_record.IP1 = first;
    m_record.IP2 = second;
    EndDialog(IDOK);
}

// A mask of 0.0.0.0, which a blank mask field reads as, would match every
// address, and a range whose first address comes after its last would
// match none: neither is what the user meant, so the editor says so and
// puts the focus on the field to mend.
bool CZoneDialog::RefuseAddresses(DWORD first, DWORD second)
{
    LPCTSTR refusal = NULL;
    if (m_record.Type == ZONE_ENTRY_SUBNET && second == 0)
        refusal = "ERR_MaskEmpty";
    else if (m_record.Type == ZONE_ENTRY_RANGE && first > second)
        refusal = "ERR_RangeDownwards";
    if (!refusal)
        return false;
    MessageBox(m_texts.GetText(refusal), m_texts.GetAppName(), MB_ICONHAND);
    GotoDlgCtrl(&m_secondAddress);
    return true;
}

void CZoneDialog::OnCloseButton()
{
    CSkinDialog::OnCancel();
}

void CZoneDialog::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawClient(&dc);
    DrawLeft(&dc);
    DrawRight(&dc);
    DrawBottom(&dc);
    DrawTop(&dc);
}
