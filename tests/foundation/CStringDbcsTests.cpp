// CString in a double-byte code page (936): characters whose trail byte is
// a backslash or a letter must survive searching, replacing and case changes.
//
// Run twice: once with the code page chosen through SetStringCodePage, and
// once (QFW_EXPECT_ACP=936) in a process whose ANSI code page is 936, with
// the library left on CP_ACP.
#include <CString.h>
#include <StringCodePage.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// Two GBK characters: one whose trail byte is '\\' (0x5C), one whose trail
// byte is 'A' (0x41), and one whose trail byte is 'a' (0x61).
const char kBackslashTrail[] = "\x81\x5C";
const char kUpperTrail[] = "\x81\x41";
const char kLowerTrail[] = "\x81\x61";

class CStringDbcs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char *expected = getenv("QFW_EXPECT_ACP");
        if (expected) {
            ASSERT_EQ(static_cast<UINT>(atoi(expected)), GetACP())
                << "this run must have the ANSI code page " << expected;
            SetStringCodePage(CP_ACP);
        } else {
            SetStringCodePage(936);
        }
        // The sample characters are single characters of code page 936.
        for (const char *ch : {kBackslashTrail, kUpperTrail, kLowerTrail}) {
            WCHAR wide[4];
            ASSERT_EQ(1, MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, ch, 2, wide, 4));
        }
    }

    void TearDown() override { SetStringCodePage(CP_ACP); }
};

CString Path(const char *head, const char *ch, const char *tail)
{
    return CString(head) + ch + tail;
}

TEST_F(CStringDbcs, BackslashSearchSkipsTheTrailByte)
{
    // C:\<ch>\name.txt: the real backslashes are at 2 and 5.
    CString path = Path("C:\\", kBackslashTrail, "\\name.txt");
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(5, path.Find('\\', 3));
    EXPECT_EQ(5, path.Find("\\", 3));
    EXPECT_STREQ("name.txt", path.Mid(path.ReverseFind('\\') + 1));

    // A folder whose name ends in the character.
    CString folder = Path("C:\\dir\\", kBackslashTrail, "");
    EXPECT_EQ(6, folder.ReverseFind('\\'));
    EXPECT_EQ(Path("", kBackslashTrail, ""), folder.Mid(folder.ReverseFind('\\') + 1));

    CString leading = Path("", kBackslashTrail, "x");
    EXPECT_EQ(-1, leading.Find('\\'));
    EXPECT_EQ(-1, leading.ReverseFind('\\'));
}

TEST_F(CStringDbcs, ReplaceLeavesTheCharacterWhole)
{
    CString path = Path("C:\\", kBackslashTrail, "\\b");
    CString text(path);
    EXPECT_EQ(2, path.Replace('\\', '/'));
    EXPECT_EQ(Path("C:/", kBackslashTrail, "/b"), path);

    EXPECT_EQ(2, text.Replace("\\", "/"));
    EXPECT_EQ(Path("C:/", kBackslashTrail, "/b"), text);

    CString letters = Path("", kUpperTrail, "A");
    EXPECT_EQ(1, letters.Replace('A', 'b'));
    EXPECT_EQ(Path("", kUpperTrail, "b"), letters);
    letters = Path("", kUpperTrail, "A");
    EXPECT_EQ(1, letters.Replace("A", "bb"));
    EXPECT_EQ(Path("", kUpperTrail, "bb"), letters);
}

TEST_F(CStringDbcs, CaseChangesKeepTheTrailByte)
{
    CString upper = Path("ABC", kUpperTrail, "DEF");
    upper.MakeLower();
    EXPECT_EQ(Path("abc", kUpperTrail, "def"), upper);

    CString lower = Path("abc", kLowerTrail, "def");
    lower.MakeUpper();
    EXPECT_EQ(Path("ABC", kLowerTrail, "DEF"), lower);
}

TEST_F(CStringDbcs, TextSearchMatchesWholeCharactersOnly)
{
    // <81 41>A: "AA" would start on the trail byte.
    CString s = Path("", kUpperTrail, "A");
    EXPECT_EQ(-1, s.Find("AA"));
    EXPECT_EQ(2, s.Find("A"));
    EXPECT_EQ(2, s.Find('A'));
    EXPECT_EQ(2, s.ReverseFind('A'));

    // A match may not end inside a character either.
    CString twice = Path("", kUpperTrail, kUpperTrail);
    EXPECT_EQ(-1, twice.Find("\x41\x81"));
    EXPECT_EQ(-1, twice.Find("\x81"));
    EXPECT_EQ(2, twice.Find(kUpperTrail, 1));
    EXPECT_EQ(0, twice.Replace("\x41\x81", "-"));
    EXPECT_EQ(Path("", kUpperTrail, kUpperTrail), twice);
}

TEST_F(CStringDbcs, TrimAndAsciiTextAreUnchanged)
{
    CString padded = Path("  ", kUpperTrail, " \t");
    padded.TrimLeft();
    padded.TrimRight();
    EXPECT_EQ(Path("", kUpperTrail, ""), padded);

    CString ascii("dir\\sub\\file");
    EXPECT_EQ(7, ascii.ReverseFind('\\'));
    EXPECT_EQ(2, ascii.Replace('\\', '/'));
    EXPECT_STREQ("dir/sub/file", ascii);
}

TEST(CStringCodePage, SingleByteCodePageTreatsEveryByteAlone)
{
    SetStringCodePage(1252);
    CString s = CString("C:\\") + kBackslashTrail;
    EXPECT_EQ(4, s.ReverseFind('\\'));
    SetStringCodePage(CP_ACP);
}

} // namespace
