// The settings store, Config.dat: the console's user-interface settings
// (table UI_Config: skin, main window place and page, console password) and
// options (table Options: switches, traffic graph scales, start and tip
// counters), as key and text value rows. Numbers are stored as "%d" text.
//
// A missing or empty file is made with the tables and their default rows;
// a file that is not a database is moved aside (path + "e") and made anew.
#pragma once

#include "StoreBase.h"

class CDataBase : public CStoreBase
{
public:
    CDataBase();
    virtual ~CDataBase();

    // Opens, makes or repairs the file (see above). On a file that holds
    // the tables the TipIndex row is added when missing: TRUE then, FALSE
    // (with one logged line) when the row was there.
    BOOL Open(LPCTSTR path);
    // Both tables and all default rows, in one transaction.
    BOOL CreateTables();

    // A key without a row changes nothing and gives TRUE.
    BOOL SetString(LPCTSTR key, LPCTSTR value, LPCTSTR table);
    BOOL SetInt(LPCTSTR key, int value, LPCTSTR table);
    // Stored with the same 32 bits as a signed number: 4294967295 is "-1".
    BOOL SetUInt(LPCTSTR key, UINT value, LPCTSTR table);
    // An empty text without a row or on failure.
    CString GetString(LPCTSTR key, LPCTSTR table);

    // The skin folder's name: one folder under Skins\. "Default" when none
    // is stored or the stored text is no plain folder name (the file is
    // writable by every account: a path must not lead the pictures away).
    CString GetSkinName();
    void SetMainFramPos(const RECT &rect);
    // Reads "left,top,right,bottom"; FALSE when a part is missing, with the
    // parts before it set.
    BOOL GetMainFramPos(RECT &rect);
    void SetMainFramTabID(int tabId);
    // The page's tab ID, 132 (the traffic monitor) when none is stored.
    int GetMainFramTabID();
    // The console password in plain text; empty means none.
    BOOL SetPassword(LPCTSTR password);
    CString GetPassword();
    BOOL SetInMaxUint(UINT value);
    BOOL SetOutMaxUint(UINT value);
    int GetStartCount();
    int GetEnableShowTips();
    BOOL SetTipIndex(UINT value);
    BOOL SetEnableShowTips(int value);

private:
    BOOL UseOpenedFile();
};
