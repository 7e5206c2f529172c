// Text values inside SQL statements.
#pragma once

#include "CString.h"

// The value with every apostrophe byte doubled, to stand between single
// quotes in a statement: the engine stores the value exactly as given, and
// no value can end its quotes early. Every apostrophe is doubled, whatever
// byte precedes it: in double-byte code pages a trail byte is never an
// apostrophe, so one after a lead byte is an apostrophe all the same.
CString EscapeSqlText(LPCTSTR value);
