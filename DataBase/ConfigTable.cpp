#include "ConfigTable.h"

#include "SqlText.h"
#include "StoreField.h"

CString QueryConfigValue(CRetryingDatabase &db, LPCTSTR key)
{
    CString sql;
    sql.Format("select Val from Config where Key='%s';", static_cast<LPCTSTR>(EscapeSqlText(key)));
    CSqliteQuery query = db.Query(sql);
    return query.IsEof() ? CString() : CString(FieldText(query, 0));
}

void UpdateConfigValue(CRetryingDatabase &db, LPCTSTR key, LPCTSTR value)
{
    CString sql;
    sql.Format("update Config set Val='%s' where Key='%s';", static_cast<LPCTSTR>(EscapeSqlText(value)),
               static_cast<LPCTSTR>(EscapeSqlText(key)));
    db.Execute(sql);
}
