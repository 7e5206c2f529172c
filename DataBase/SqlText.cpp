#include "SqlText.h"

#include <string>

// Byte by byte, whatever code page the text is in: a text-aware replace
// would take the byte before an apostrophe for the lead byte of a character
// and pass the apostrophe over.
CString EscapeSqlText(LPCTSTR value)
{
    std::string text;
    for (const char *at = value ? value : ""; *at != '\0'; ++at) {
        text += *at;
        if (*at == '\'')
            text += '\'';
    }
    return CString(text.c_str());
}
