// The console's start counter, Options StartCount: stored as a signed
// "%d" text and counted as an unsigned 32-bit number, so it wraps.
#pragma once

#include <windows.h>

// Any text reads safely: digits after an optional sign, beyond the 32-bit
// range held at its end, taken modulo 2^32; no digits read as 0.
UINT ParseStartCount(LPCSTR text);
