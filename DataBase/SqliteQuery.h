// A forward-only result of one SELECT, positioned on its current row.
#pragma once

struct sqlite3_stmt;

class CSqliteQuery
{
public:
    CSqliteQuery();
    // Takes over a statement whose first step has already been made.
    CSqliteQuery(sqlite3_stmt *statement, bool eof);
    CSqliteQuery(CSqliteQuery &&other) noexcept;
    CSqliteQuery &operator=(CSqliteQuery &&other);
    CSqliteQuery(const CSqliteQuery &) = delete;
    CSqliteQuery &operator=(const CSqliteQuery &) = delete;
    // Finalizes what is left and swallows any failure of that.
    virtual ~CSqliteQuery();

    bool IsEof() const { return m_eof; }
    // Steps to the next row; a failure finalizes the statement, then throws.
    void NextRow();
    int NumFields() const { return m_columns; }
    // The text of a column of the current row, null for SQL NULL.
    // An index outside the columns throws "Invalid field index requested".
    const char *GetField(int field) const;
    bool FieldIsNull(int field) const;
    const char *FieldName(int field) const;
    // Releases the statement; throws the engine's failure, then sets the end flag.
    void Finalize();

private:
    void CheckField(int field) const;

    sqlite3_stmt *m_statement;
    bool m_eof;
    int m_columns;
};
