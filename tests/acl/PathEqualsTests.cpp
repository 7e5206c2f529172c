#include <AclMemory.h>
#include <PathEquals.h>
#include <ProgramRuleIndex.h>
#include <gtest/gtest.h>

namespace {

TEST(PathEquals, ComparesWholePathsWithoutRegardToCase)
{
    struct Case {
        const char *a, *b;
        UINT codePage;
        BOOL equal;
    } cases[] = {
        {"C:\\Apps\\Mail.exe", "c:\\apps\\MAIL.EXE", 1252, TRUE},
        {"C:\\Apps\\Mail.exe", "C:\\Apps\\Mail.ex", 1252, FALSE},
        {"C:\\Apps\\Mail.ex", "C:\\Apps\\Mail.exe", 1252, FALSE},
        {"C:\\Apps\\Mail-1.exe", "C:\\Apps\\Mail1.exe", 1252, FALSE},
        {"", "", 1252, TRUE},
        // In code page 936 0x81 leads a character whose second byte 'A' or 'a'
        // makes two different characters; in 1252 they are letters to fold.
        {"C:\\\x81\x41.exe", "C:\\\x81\x61.exe", 936, FALSE},
        {"C:\\\x81\x41.exe", "C:\\\x81\x41.EXE", 936, TRUE},
        {"C:\\\x81\x41.exe", "C:\\\x81\x61.exe", 1252, TRUE},
        {"C:\\\x81", "C:\\\x81", 936, TRUE},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.equal, PathEqualsNoCase(c.a, c.b, c.codePage)) << c.a << " / " << c.b;
        // The rule index finds a rule by this hash: equal paths share it.
        if (c.equal) {
            EXPECT_EQ(PathHash(c.a, c.codePage), PathHash(c.b, c.codePage)) << c.a << " / " << c.b;
        }
    }
}

TEST(DetailContains, FindsTheSiteInTheDetailWithCase)
{
    EXPECT_TRUE(DetailContains("www.bad.example", "bad.example"));
    EXPECT_TRUE(DetailContains("xbad.example", "bad.example"));
    EXPECT_FALSE(DetailContains("www.BAD.example", "bad.example"));
    EXPECT_FALSE(DetailContains("bad", "bad.example"));
    EXPECT_FALSE(DetailContains("www.bad.example", ""));
}

} // namespace
