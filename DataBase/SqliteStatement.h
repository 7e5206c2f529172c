// One statement compiled once and run many times with new values, for a
// store that writes the same statement at a high rate. Values are bound,
// never pasted into the text, so a text value is stored exactly as given.
// The statement belongs to one connection: it must be released before that
// connection closes or opens another file.
#pragma once

struct sqlite3;
struct sqlite3_stmt;

class CSqliteStatement
{
public:
    CSqliteStatement() = default;
    CSqliteStatement(const CSqliteStatement &) = delete;
    CSqliteStatement &operator=(const CSqliteStatement &) = delete;
    ~CSqliteStatement();

    bool IsPrepared() const { return m_statement != nullptr; }
    // Compiles the first statement of the text; throws the engine's failure.
    void Prepare(sqlite3 *db, const char *sql);
    void Release();

    // Values for the parameters, numbered from 1; they stay bound until
    // replaced.
    void Bind(int parameter, int value);
    void Bind(int parameter, const char *text);

    // Runs a statement that yields no row; the number of rows it changed.
    int Execute();
    // Runs a statement that yields one number: the first column of its
    // first row, read as atol reads it; false when there is no row.
    bool QueryNumber(long &value);

private:
    // Steps once; a failure resets the statement and throws.
    int Step();

    sqlite3_stmt *m_statement = nullptr;
};
