#include "PathEquals.h"

namespace {

char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace

BOOL PathEqualsNoCase(const char *a, const char *b, UINT codePage)
{
    while (*a && *b) {
        // Lead bytes of every code page lie above 0x7F.
        if (BYTE(*a) > 0x7F && IsDBCSLeadByteEx(codePage, BYTE(*a))) {
            if (a[0] != b[0] || a[1] != b[1])
                return FALSE;
            if (!a[1])
                return TRUE; // both end in the same lone lead byte
            a += 2;
            b += 2;
            continue;
        }
        if (FoldAscii(*a) != FoldAscii(*b))
            return FALSE;
        ++a;
        ++b;
    }
    return *a == *b;
}
