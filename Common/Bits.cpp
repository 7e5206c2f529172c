#include "Bits.h"

BYTE GetBits(BYTE value, BYTE firstBit, BYTE count)
{
    if (firstBit > 7 || count > 8)
        return 0;
    BYTE shifted = static_cast<BYTE>(value << firstBit);
    return static_cast<BYTE>(shifted >> (8 - count));
}

int SetBit(BYTE *value, BYTE bit, bool on)
{
    if (!value || bit > 7)
        return 0;
    BYTE mask = static_cast<BYTE>(0x80 >> bit);
    *value = static_cast<BYTE>(on ? *value | mask : *value & ~mask);
    return 0;
}
