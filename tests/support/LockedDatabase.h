// Another connection that holds a database under an exclusive lock while it
// lives: the stores' reads and writes find it busy past their retries and
// are refused, as while another program keeps the file locked.
#pragma once

#include <sqlite3.h>

class CLockedDatabase
{
public:
    explicit CLockedDatabase(const char *path)
    {
        if (sqlite3_open(path, &m_db) == SQLITE_OK)
            m_locked = sqlite3_exec(m_db, "begin exclusive;", NULL, NULL, NULL) == SQLITE_OK;
    }
    ~CLockedDatabase()
    {
        if (m_locked)
            sqlite3_exec(m_db, "rollback;", NULL, NULL, NULL);
        sqlite3_close(m_db);
    }
    CLockedDatabase(const CLockedDatabase &) = delete;
    CLockedDatabase &operator=(const CLockedDatabase &) = delete;

    bool Locked() const { return m_locked; }

private:
    sqlite3 *m_db = nullptr;
    bool m_locked = false;
};
