#include "StartCount.h"

#include <stdlib.h>

UINT ParseStartCount(LPCSTR text)
{
    // strtoll saturates instead of overflowing; the clamp keeps the value
    // within what a 32-bit count can have been stored as.
    long long value = text ? strtoll(text, NULL, 10) : 0;
    if (value > 0xFFFFFFFFLL)
        value = 0xFFFFFFFFLL;
    if (value < -0x80000000LL)
        value = -0x80000000LL;
    return static_cast<UINT>(value);
}
