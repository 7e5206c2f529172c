// Bits of a byte counted from the most significant: bit 0 is 0x80, bit 7
// is 0x01 (the week-day masks of the time schedules are read this way).
#pragma once

#include <windows.h>

// The count bits from the first one down, as a number; 0 for a first bit
// past 7 or a count above 8.
BYTE GetBits(BYTE value, BYTE firstBit, BYTE count);

// Sets or clears one bit; a bit number past 7 or a null byte changes
// nothing. The result is always 0.
int SetBit(BYTE *value, BYTE bit, bool on);
