#include "StoreField.h"

#include <cstdlib>

const char *FieldText(const CSqliteQuery &query, int field)
{
    const char *text = query.GetField(field);
    return text ? text : "";
}

long FieldNumber(const CSqliteQuery &query, int field)
{
    return atol(FieldText(query, field));
}
