// Text values inside SQL statements.
#pragma once

#include "CString.h"

// The value with every apostrophe doubled, to stand between single quotes
// in a statement: the engine stores the value exactly as given, and no
// value can end its quotes early. Byte by byte is safe in double-byte code
// pages, whose trail bytes are never an apostrophe.
CString EscapeSqlText(LPCTSTR value);
