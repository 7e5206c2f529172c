// Bits counted from the most significant one.
#include <gtest/gtest.h>
#include "Bits.h"

namespace {

TEST(GetBits, ReadsFromTheMostSignificantBit)
{
    struct Case {
        BYTE Value, First, Count, Bits;
    } cases[] = {
        {0x7C, 1, 1, 1}, // Monday of a week-day mask
        {0x7C, 0, 1, 0}, // Sunday
        {0x7C, 5, 1, 1},
        {0x7C, 6, 1, 0},
        {0x01, 7, 1, 1},
        {0xA5, 0, 4, 0xA},
        {0xA5, 4, 4, 0x5},
        {0xFF, 0, 8, 0xFF},
        {0x03, 6, 4, 0xC}, // past the last bit come zeros
        {0xFF, 3, 0, 0},
        // Out of range: nothing is selected.
        {0xFF, 8, 1, 0},
        {0xFF, 200, 1, 0},
        {0xFF, 0, 9, 0},
        {0xFF, 0, 255, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.Bits, GetBits(c.Value, c.First, c.Count))
            << int(c.Value) << " " << int(c.First) << " " << int(c.Count);
}

TEST(SetBit, SetsAndClearsOneBit)
{
    struct Case {
        BYTE Before, Bit;
        bool On;
        BYTE After;
    } cases[] = {
        {0x00, 0, true, 0x80},
        {0x00, 7, true, 0x01},
        {0xFF, 0, false, 0x7F},
        {0xFF, 7, false, 0xFE},
        {0x80, 0, true, 0x80},
        {0x12, 8, true, 0x12}, // past bit 7: unchanged
        {0x12, 255, false, 0x12},
    };
    for (const Case &c : cases) {
        BYTE value = c.Before;
        EXPECT_EQ(0, SetBit(&value, c.Bit, c.On));
        EXPECT_EQ(c.After, value) << int(c.Before) << " bit " << int(c.Bit);
    }
    EXPECT_EQ(0, SetBit(nullptr, 0, true));
}

} // namespace
