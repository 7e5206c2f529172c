// CZoneDialog: the zone editor, a modal pop-up in which the user fills in
// one entry of the trusted or the blocked list: an address, a range, a
// subnet or a host name, always with a description. It shows the fields of
// the entry's type only and a title telling the list, the kind and whether
// the entry is new. It stores nothing: on OK it checks the logged-on flag,
// the description and the addresses and copies every field into its
// record; the caller stores that.
#pragma once

#include "SkinButton.h"
#include "SkinDialog.h"
#include "SkinLabel.h"

#include <CIPAddressCtrl.h>
#include <LanguageText.h>
#include <ZoneRecord.h>

class CZoneDialog : public CSkinDialog
{
public:
    // A new editor holds an empty record, in add mode for the trusted list.
    // The caller sets the record's Type and the list flag (and, to edit,
    // the edit flag and the whole record) before it shows the editor.
    explicit CZoneDialog(CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
    // Refused while logged off, for an empty description, a blank subnet
    // mask and a range that runs downwards (the editor stays open); else
    // the fields go into the record and it closes.
    void OnOK() override;

    // The longest host name the store and the rule image keep whole.
    static constexpr int MAX_HOST_NAME = 255;

    ZoneRecord m_record;
    BYTE m_listFlag = 0; // 0 the trusted list, 1 the blocked list
    BYTE m_editFlag = 0; // 0 a new entry, 1 an existing one

protected:
    afx_msg void OnPaint();
    afx_msg void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void LayoutForType(BYTE type);
    void SetupForType(BYTE type);
    void ShowControls(const int *ids, int count, int show);
    bool RefuseAddresses(DWORD first, DWORD second);

    CSkinButton m_closeButton;
    CSkinButton m_okButton;
    CSkinButton m_cancelButton;
    CSkinButton m_lookupButton;
    CIPAddressCtrl m_firstAddress;
    CIPAddressCtrl m_secondAddress;
    CSkinLabel m_secondAddressLabel;
    CSkinLabel m_firstAddressLabel;
    CSkinLabel m_title;
    CSkinLabel m_hostNameLabel;
    CSkinLabel m_descriptionLabel;
    CString m_description;
    CString m_hostName;
    CString m_note;
    CLanguageText m_texts;
};
