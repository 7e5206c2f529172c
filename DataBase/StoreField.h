// Reading the fields of a query row in a store. A NULL field (a file edited
// by hand, or written by another program) reads as an empty text or 0.
#pragma once

#include "SqliteQuery.h"

// The field's text, "" for NULL; valid until the query moves on.
const char *FieldText(const CSqliteQuery &query, int field);
// The field read as a number the way the C library's atol reads it.
long FieldNumber(const CSqliteQuery &query, int field);
