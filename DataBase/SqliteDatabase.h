// One connection to a database file. Every failure of the engine or of this
// layer is thrown as a CppSQLiteException; nothing reports failure by value.
#pragma once

#include "SqliteQuery.h"

struct sqlite3;

class CSqliteDatabase
{
public:
    CSqliteDatabase();
    CSqliteDatabase(const CSqliteDatabase &) = delete;
    CSqliteDatabase &operator=(const CSqliteDatabase &) = delete;
    virtual ~CSqliteDatabase();

    // Opens the file (an ANSI path), creating a missing one as an empty
    // database; a connection still held is closed first. Throws code 14 when
    // the file cannot be opened or is not a database.
    void Open(const char *path);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Runs the first statement of the text and returns its result on the
    // first row; the rest of the text is ignored.
    CSqliteQuery Query(const char *sql);
    // Runs the first statement of the text, which must yield no row, and
    // returns the number of rows it changed.
    int Execute(const char *sql);

    // The engine's handle, for diagnostics; null while closed.
    sqlite3 *GetHandle() const { return m_db; }

private:
    sqlite3_stmt *Compile(const char *sql);

    sqlite3 *m_db;
};
