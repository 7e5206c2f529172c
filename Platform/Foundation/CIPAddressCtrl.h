// CIPAddressCtrl: an IP address field. The address is a DWORD with the
// first field in the most significant byte (0xC0A80001 is 192.168.0.1).
#pragma once

#include "ControlMessage.h"

#include <commctrl.h>

class CIPAddressCtrl : public CWnd
{
public:
    void SetAddress(DWORD dwAddress) { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(dwAddress)); }
    void SetAddress(BYTE nField0, BYTE nField1, BYTE nField2, BYTE nField3)
    {
        SetAddress(MAKEIPADDRESS(nField0, nField1, nField2, nField3));
    }
    // The number of fields that are not blank; a blank field reads as 0.
    // 0, with dwAddress 0, for a wrapper without a window.
    int GetAddress(DWORD &dwAddress) const
    {
        dwAddress = 0;
        return static_cast<int>(SendControlMessage(*this, 0, IPM_GETADDRESS, 0,
                                                   reinterpret_cast<LPARAM>(&dwAddress)));
    }
    void ClearAddress() { SendMessage(IPM_CLEARADDRESS); }
    BOOL IsBlank() const { return static_cast<BOOL>(SendControlMessage(*this, TRUE, IPM_ISBLANK)); }
};
