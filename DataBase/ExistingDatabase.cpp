#include "ExistingDatabase.h"

#include "CString.h"
#include "StoreField.h"

bool DatabaseFileExists(LPCTSTR path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool HasTables(CRetryingDatabase &db, std::initializer_list<const char *> tables)
{
    CString names;
    for (const char *table : tables)
    {
        if (!names.IsEmpty())
            names += ",";
        names += "'";
        names += table;
        names += "'";
    }
    CString sql;
    sql.Format("select count(*) from sqlite_master where type='table' and name in (%s);",
               static_cast<LPCTSTR>(names));
    CSqliteQuery query = db.Query(sql);
    return !query.IsEof() && FieldNumber(query, 0) == static_cast<long>(tables.size());
}

bool IsEmptyDatabase(CRetryingDatabase &db)
{
    CSqliteQuery query = db.Query("select count(*) from sqlite_master where type='table';");
    return !query.IsEof() && FieldNumber(query, 0) == 0;
}

bool OpenWithTables(CRetryingDatabase &db, LPCTSTR path,
                    std::initializer_list<const char *> tables)
{
    // The engine would make a missing file as an empty database.
    if (!DatabaseFileExists(path))
        return false;
    db.Open(path);
    if (HasTables(db, tables))
        return true;
    db.Close();
    return false;
}
