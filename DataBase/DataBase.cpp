#include "DataBase.h"

#include "DamagedDatabase.h"
#include "ExistingDatabase.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kUiConfig[] = "UI_Config";
const char kOptions[] = "Options";

const char kDefaultSkin[] = "Default";
const int kDefaultTabId = 132;   // the traffic monitor page

// One folder's name: no separator, no drive, no way up.
bool IsPlainFolderName(const CString &name)
{
    const char *text = name;
    return text[0] != '\0' && strpbrk(text, "\\/:") == NULL && strstr(text, "..") == NULL &&
           strcmp(text, ".") != 0;
}

} // namespace

CDataBase::CDataBase() = default;

CDataBase::~CDataBase() = default;

BOOL CDataBase::Open(LPCTSTR path)
{
    if (Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
        return UseOpenedFile();
    // The engine cannot read the file (the failed open holds no handle).
    if (!MoveDamagedDatabaseAside(path) || !Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
        return FALSE;
    return CreateTables();
}

BOOL CDataBase::UseOpenedFile()
{
    bool empty = false;
    if (!Guarded(STORE_PLACE, [&] { empty = IsEmptyDatabase(m_db); }))
        return FALSE;
    if (empty)
        return CreateTables();
    // Adds the row to a file made before the tips counter existed; on a
    // file that has it the unique key refuses it (logged once per start).
    return Guarded(STORE_PLACE, [&] { m_db.Execute("insert into Options values('TipIndex', '0');"); });
}

BOOL CDataBase::CreateTables()
{
    return GuardedTransaction(STORE_PLACE, [&] {
        m_db.Execute("create table UI_Config(Key char(30) PRIMARY KEY, Val char(50))");
        m_db.Execute("insert into UI_Config values('Skins', 'Default');");
        m_db.Execute("insert into UI_Config values('MainFramTabID', '132');");
        m_db.Execute("insert into UI_Config values('MainFramPos', '10,20,550,600');");
        m_db.Execute("insert into UI_Config values('WP', '');");
        m_db.Execute("create table Options(Key char(30) PRIMARY KEY, Val char(50))");
        m_db.Execute("insert into Options values('PW', '');");
        m_db.Execute("insert into Options values('EnableAutoStart', '1');");
        m_db.Execute("insert into Options values('EnableAutoUpdate', '1');");
        m_db.Execute("insert into Options values('EnableSoundAlert', '1');");
        m_db.Execute("insert into Options values('EnableWndAlert', '1');");
        m_db.Execute("insert into Options values('EnableShowTips', '1');");
        m_db.Execute("insert into Options values('InMaxUint', '327680');");
        m_db.Execute("insert into Options values('OutMaxUint', '327680');");
        m_db.Execute("insert into Options values('StartCount', '0');");
        m_db.Execute("insert into Options values('TipIndex', '0');");
    });
}

BOOL CDataBase::SetString(LPCTSTR key, LPCTSTR value, LPCTSTR table)
{
    CString sql;
    sql.Format("update %s set Val='%s' where Key='%s';", table, static_cast<LPCTSTR>(EscapeSqlText(value)),
               static_cast<LPCTSTR>(EscapeSqlText(key)));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CDataBase::SetInt(LPCTSTR key, int value, LPCTSTR table)
{
    CString text;
    text.Format("%d", value);
    return SetString(key, text, table);
}

BOOL CDataBase::SetUInt(LPCTSTR key, UINT value, LPCTSTR table)
{
    return SetInt(key, static_cast<int>(value), table);
}

CString CDataBase::GetString(LPCTSTR key, LPCTSTR table)
{
    CString sql;
    sql.Format("select Val from %s where Key='%s';", table, static_cast<LPCTSTR>(EscapeSqlText(key)));
    CString value;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (!query.IsEof())
            value = FieldText(query, 0);
    });
    return value;
}

CString CDataBase::GetSkinName()
{
    const CString skin = GetString("Skins", kUiConfig);
    return IsPlainFolderName(skin) ? skin : CString(kDefaultSkin);
}

void CDataBase::SetMainFramPos(const RECT &rect)
{
    CString text;
    text.Format("%d,%d,%d,%d", static_cast<int>(rect.left), static_cast<int>(rect.top),
                static_cast<int>(rect.right), static_cast<int>(rect.bottom));
    SetString("MainFramPos", text, kUiConfig);
}

BOOL CDataBase::GetMainFramPos(RECT &rect)
{
    const CString text = GetString("MainFramPos", kUiConfig);
    LONG *const edges[] = {&rect.left, &rect.top, &rect.right};
    int start = 0;
    for (LONG *edge : edges)
    {
        const int comma = text.Find(',', start);
        if (comma < 0)
            return FALSE;
        *edge = atoi(text.Mid(start, comma - start));
        start = comma + 1;
    }
    // The rest, further commas and all, is the bottom edge.
    if (start >= text.GetLength())
        return FALSE;
    rect.bottom = atoi(text.Mid(start));
    return TRUE;
}

void CDataBase::SetMainFramTabID(int tabId)
{
    CString text;
    text.Format("%d", tabId);
    SetString("MainFramTabID", text, kUiConfig);
}

int CDataBase::GetMainFramTabID()
{
    const CString tabId = GetString("MainFramTabID", kUiConfig);
    return tabId.IsEmpty() ? kDefaultTabId : atoi(tabId);
}

BOOL CDataBase::SetPassword(LPCTSTR password)
{
    return SetString("WP", password, kUiConfig);
}

CString CDataBase::GetPassword()
{
    return GetString("WP", kUiConfig);
}

BOOL CDataBase::SetInMaxUint(UINT value)
{
    return SetUInt("InMaxUint", value, kOptions);
}

BOOL CDataBase::SetOutMaxUint(UINT value)
{
    return SetUInt("OutMaxUint", value, kOptions);
}

int CDataBase::GetStartCount()
{
    return atoi(GetString("StartCount", kOptions));
}

int CDataBase::GetEnableShowTips()
{
    return atoi(GetString("EnableShowTips", kOptions));
}

BOOL CDataBase::SetTipIndex(UINT value)
{
    return SetUInt("TipIndex", value, kOptions);
}

BOOL CDataBase::SetEnableShowTips(int value)
{
    return SetInt("EnableShowTips", value, kOptions);
}
