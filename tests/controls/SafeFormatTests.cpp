// SafeFormat: formats that fit their arguments give printf's text; every
// other format gives the empty text and one report.
#include "KitMissRecorder.h"

#include <SafeFormat.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(SafeFormat, FittingFormatsGivePrintfsText)
{
    char expected[64];
    snprintf(expected, sizeof expected, "%5d|%-4u|%x|%08x|%.3s|%-6s|", -42, 7u, 255u, 0xbeefu, "abcdef", "ab");

    KitMissRecorder recorder;
    EXPECT_STREQ("name: qfw.exe", SafeFormat("name: %s", {"qfw.exe"}));
    EXPECT_STREQ("4294967295", SafeFormat("%u", {0xFFFFFFFFu}));
    EXPECT_STREQ("   12", SafeFormat("%5d", {12}));
    EXPECT_STREQ("-2147483648", SafeFormat("%d", {static_cast<int>(0x80000000u)}));
    EXPECT_STREQ("100%", SafeFormat("100%%", {}));
    EXPECT_STREQ("100% of 3", SafeFormat("100%% of %d", {3}));
    EXPECT_STREQ(expected, SafeFormat("%5d|%-4u|%x|%08x|%.3s|%-6s|", {-42, 7u, 255u, 0xbeefu, "abcdef", "ab"}));
    EXPECT_STREQ("+5 0x1f", SafeFormat("%+d %#x", {5, 31}));
    // Fewer conversions than arguments: the rest are not shown.
    EXPECT_STREQ("only a", SafeFormat("only %s", {"a", 2, "c"}));
    EXPECT_STREQ("no conversions", SafeFormat("no conversions", {1}));
    EXPECT_STREQ("text", SafeFormat("%s", {CString("text")}));
    EXPECT_TRUE(recorder.Misses().empty());
}

// Each refused format, given one text (t) or one integer (i).
struct Refused
{
    const char *format;
    char argument;
    const char *why;
};

TEST(SafeFormat, EveryOtherFormatIsRefusedWithAReport)
{
    const Refused cases[] = {
        {"%d", 't', "a text for an integer"},
        {"%x", 't', "a text for an integer"},
        {"%s", 'i', "an integer for a text"},
        {"%s and %s", 't', "more conversions than arguments"},
        {"%n", 'i', "%n writes"},
        {"%*d", 'i', "a width from the arguments"},
        {"%.*s", 't', "a precision from the arguments"},
        {"%ld", 'i', "a length letter"},
        {"%I64d", 'i', "a 64-bit length"},
        {"%c", 'i', "a character"},
        {"%f", 'i', "a floating-point number"},
        {"%p", 'i', "a pointer"},
        {"%X", 'i', "an upper-case hex conversion"},
        {"50%", 'i', "a lone % at the end"},
        {"%", 't', "a lone %"},
        {"%-", 'i', "a flag at the end"},
        {"%#s", 't', "a flag that %s does not take"},
        {"%+u", 'i', "a flag that %u does not take"},
        {"%1000d", 'i', "a field wider than three digits"},
        {"%.1000s", 't', "a precision of more than three digits"},
        {"%d %", 'i', "a lone % after a good conversion"},
    };
    for (const Refused &c : cases) {
        KitMissRecorder recorder;
        const CString result = c.argument == 't' ? SafeFormat(c.format, {"t"}) : SafeFormat(c.format, {1});
        EXPECT_STREQ("", result) << c.format << ": " << c.why;
        ASSERT_EQ(1u, recorder.Misses().size()) << c.format;
        EXPECT_EQ(KIT_REFUSED_FORMAT, recorder.Misses()[0].kind);
        EXPECT_EQ(c.format, recorder.Misses()[0].subject);
        EXPECT_FALSE(recorder.Misses()[0].detail.empty());
    }
}

TEST(SafeFormat, TheReportSaysWhereAndWhy)
{
    KitMissRecorder recorder;
    EXPECT_STREQ("", SafeFormat("Program %s has %d rules", {"a", "b"}));
    ASSERT_EQ(1u, recorder.Misses().size());
    EXPECT_EQ("the conversion at byte 15 wants an integer, not a text", recorder.Misses()[0].detail);
}

} // namespace
