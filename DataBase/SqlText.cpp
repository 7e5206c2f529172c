#include "SqlText.h"

CString EscapeSqlText(LPCTSTR value)
{
    CString text(value);
    text.Replace("'", "''");
    return text;
}
