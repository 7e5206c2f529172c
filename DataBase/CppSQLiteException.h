// The one exception type of the SQL layer: an engine result code and a text.
#pragma once

// The name of an engine result code as the exception message spells it
// ("SQLITE_BUSY"); codes without a name give "UNKNOWN_ERROR".
const char *SqliteCodeName(int code);

class CppSQLiteException
{
public:
    // Message "NAME[code]engine text"; the engine's text may be null.
    CppSQLiteException(int code, const char *engineMessage);
    // The layer's own failures: code 1 and the text as it is.
    explicit CppSQLiteException(const char *text);
    CppSQLiteException(const CppSQLiteException &other);
    CppSQLiteException &operator=(const CppSQLiteException &other);
    virtual ~CppSQLiteException();

    int GetCode() const { return m_code; }
    // Never null: a message that could not be made reads as an empty text.
    const char *GetMessageText() const { return m_message ? m_message : ""; }

private:
    int m_code;
    char *m_message;   // made by the engine's printf, released with its free
};
