// Address, byte-count and protocol texts.
#include <gtest/gtest.h>
#include "Formatting.h"

namespace {

TEST(FormatByteCount, GivesTheTextsOfTheTable)
{
    struct Case {
        DWORD Count;
        const char *Text;
    } cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.000 K"},
        {1023999, "999.999 K"},
        {1024000, "1,000.000 K"},
        {1048575, "1,023.999 K"},
        {1048576, "1.000 M"},
        {1048576000, "1,000.000 M"},
        {4294967295u, "4,095.999 M"},
        // Exact halves round up, whatever the C runtime would do.
        {1088, "1.063 K"},
        {1536, "1.500 K"},
        {1088u << 10, "1.063 M"},
        // The bits below a kilobyte do not count for megabytes.
        {(1088u << 10) + 1023, "1.063 M"},
        {1047552, "1,023.000 K"},
        {1023487, "999.499 K"},
        {1023488, "999.500 K"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.Text, FormatByteCount(c.Count)) << c.Count;
}

TEST(FormatByteCount64, GivesTheSameTextsBelowFourGibibytesAndGrowsAbove)
{
    for (DWORD count : {0u, 1023u, 1024u, 1024000u, 1048576u, 1048576000u, 4294967295u, 1088u << 10})
        EXPECT_STREQ(FormatByteCount(count), FormatByteCount64(count)) << count;
    struct Case {
        ULONGLONG Count;
        const char *Text;
    } cases[] = {
        {0x100000000ULL, "4,096.000 M"},
        {0x100000000ULL * 1000, "4,096,000.000 M"},
        {0xFFFFFFFFFFFFFFFFULL, "17,592,186,044,415.999 M"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.Text, FormatByteCount64(c.Count)) << c.Count;
}

TEST(IpToText, PrintsTheMostSignificantByteFirst)
{
    struct Case {
        DWORD Address;
        const char *Text;
    } cases[] = {
        {0xC0A80001, "192.168.0.1"},
        {0, "0.0.0.0"},
        {0xFFFFFFFF, "255.255.255.255"},
        {0x0A000102, "10.0.1.2"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.Text, IpToText(&c.Address));
    EXPECT_STREQ("", IpToText(nullptr));
}

TEST(ProtocolName, NamesTheKindsOneToNine)
{
    const char *expected[] = {"",     "TCP",  "UDP",  "FTP",  "TELNET", "HTTP",
                              "NNTP", "POP3", "SMTP", "ICMP", ""};
    for (int kind = 0; kind <= 10; ++kind)
        EXPECT_STREQ(expected[kind], ProtocolName(static_cast<BYTE>(kind))) << kind;
    EXPECT_STREQ("", ProtocolName(255));
}

} // namespace
