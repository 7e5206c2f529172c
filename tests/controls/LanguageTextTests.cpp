// CLanguageText over real profile files: the lookups, the escapes, the cut
// at 1022 characters, a file changed between lookups, and the reports of a
// missing text. One case also runs in a process whose ANSI code page is 936
// (QFW_EXPECT_ACP=936), where a double-byte character whose trail byte is a
// backslash must survive the escapes.
#include "KitMissRecorder.h"

#include <LanguageText.h>
#include <StringCodePage.h>

#include "../foundation/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class LanguageTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_file = m_folder.Write("Language.ini",
                                "[APP]\r\n"
                                "APP_NAME=Ferrowind\r\n"
                                "Shared=from APP\r\n"
                                "[DLG_TEST]\r\n"
                                "Own=from DLG_TEST\r\n"
                                "Empty=\r\n"
                                "Lines=one\\ntwo\r\n"
                                "Crlf=a\\r\\nb\r\n"
                                "Tab=x\\ty\r\n"
                                "Spaces=a&nbsp;&nbsp;b\r\n"
                                "Doubled=a\\\\tb\r\n"
                                "Capitals=a\\Tb&NBSP;c\\Nd\r\n"
                                "Other=a\\xb\\\"c&amp;d\r\n"
                                "[UPDATE]\r\n"
                                "Own=from UPDATE\r\n");
        m_text.SetSource(m_file.c_str(), "DLG_TEST", "APP", "APP_NAME");
    }

    TempFolder m_folder{"language-text"};
    std::string m_file;
    CLanguageText m_text;
};

struct EscapeCase
{
    const char *key;
    const char *expected;
};

TEST_F(LanguageTextTest, ReplacesTheFourEscapesAndNothingElse)
{
    const EscapeCase cases[] = {
        {"Lines", "one\ntwo"},
        {"Crlf", "a\r\nb"},
        {"Tab", "x\ty"},
        {"Spaces", "a  b"},
        // The first backslash stays; the second and the letter become a TAB.
        {"Doubled", "a\\\tb"},
        // The escapes are lower case only.
        {"Capitals", "a\\Tb&NBSP;c\\Nd"},
        {"Other", "a\\xb\\\"c&amp;d"},
    };
    for (const EscapeCase &c : cases)
        EXPECT_STREQ(c.expected, m_text.GetText(c.key)) << c.key;
}

TEST_F(LanguageTextTest, AnEmptySectionReadsTheDefaultSectionAndANamedOneLeavesItAlone)
{
    EXPECT_STREQ("from DLG_TEST", m_text.GetText("Own"));
    EXPECT_STREQ("from UPDATE", m_text.GetText("Own", "UPDATE"));
    EXPECT_STREQ("from DLG_TEST", m_text.GetText("Own", ""));
    EXPECT_STREQ("from APP", m_text.GetText("Shared", "APP"));
    EXPECT_STREQ("Ferrowind", m_text.GetAppName());
}

TEST_F(LanguageTextTest, TheUpdaterSetsOnlyTheFileAndItsSection)
{
    CLanguageText updater;
    updater.SetFile(m_file.c_str());
    updater.SetDefaultSection("UPDATE");
    EXPECT_STREQ("from UPDATE", updater.GetText("Own"));
    EXPECT_STREQ("", updater.GetText("Shared"));
}

TEST_F(LanguageTextTest, AMissingKeyOrFileGivesTheEmptyTextAndAReport)
{
    KitMissRecorder recorder;
    EXPECT_STREQ("", m_text.GetText("NoSuchKey"));
    EXPECT_STREQ("", m_text.GetText("Own", "NO_SECTION"));
    CLanguageText elsewhere;
    elsewhere.SetSource(m_folder.File("Missing.ini").c_str(), "APP", "APP", "APP_NAME");
    EXPECT_STREQ("", elsewhere.GetAppName());

    ASSERT_EQ(3u, recorder.Misses().size());
    EXPECT_EQ(KIT_MISSING_TEXT, recorder.Misses()[0].kind);
    EXPECT_EQ(m_file, recorder.Misses()[0].subject);
    EXPECT_EQ("DLG_TEST/NoSuchKey", recorder.Misses()[0].detail);
    EXPECT_EQ("NO_SECTION/Own", recorder.Misses()[1].detail);
    EXPECT_EQ("APP/APP_NAME", recorder.Misses()[2].detail);
}

TEST_F(LanguageTextTest, AnEmptyValueIsNoMiss)
{
    KitMissRecorder recorder;
    EXPECT_STREQ("", m_text.GetText("Empty"));
    EXPECT_TRUE(recorder.Misses().empty());
}

TEST_F(LanguageTextTest, ALongValueIsCutTo1022CharactersBeforeItsEscapes)
{
    // An escape right across the cut: its backslash is the 1022nd character.
    const std::string value = std::string(1021, 'v') + "\\n" + std::string(7, 'w');
    const std::string file = m_folder.Write("Long.ini", "[S]\r\nLong=" + value + "\r\n");
    CLanguageText text;
    text.SetSource(file.c_str(), "S", "APP", "APP_NAME");
    const CString got = text.GetText("Long");
    EXPECT_EQ(1022, got.GetLength());
    EXPECT_EQ(std::string(1021, 'v') + "\\", std::string(got));
}

TEST_F(LanguageTextTest, AFileRewrittenBetweenLookupsShowsTheNewText)
{
    EXPECT_STREQ("from DLG_TEST", m_text.GetText("Own"));
    m_folder.Write("Language.ini", "[DLG_TEST]\r\nOwn=changed, and longer than before\r\n");
    EXPECT_STREQ("changed, and longer than before", m_text.GetText("Own"));
    m_folder.Write("Language.ini", "[DLG_TEST]\r\nOwn=CHANGED, and longer than before\r\n");
    EXPECT_STREQ("CHANGED, and longer than before", m_text.GetText("Own"));
}

TEST_F(LanguageTextTest, ADoubleByteCharacterEndingInABackslashStaysWhole)
{
    if (GetACP() != 936) {
        GTEST_SKIP() << "runs in the process with the ANSI code page 936";
    }
    SetStringCodePage(CP_ACP);
    // 0x81 0x5C is one character; the 'n' after it is a letter of its own,
    // and the "\n" after that is an escape.
    const std::string value = "a\x81\x5Cn\\nb";
    const std::string file = m_folder.Write("Dbcs.ini", "[S]\r\nKey=" + value + "\r\n");
    CLanguageText text;
    text.SetSource(file.c_str(), "S", "APP", "APP_NAME");
    EXPECT_EQ(std::string("a\x81\x5Cn\nb"), std::string(text.GetText("Key")));
}

TEST(LanguageTextProcess, RunsInTheExpectedCodePage)
{
    if (const char *expected = getenv("QFW_EXPECT_ACP")) {
        EXPECT_EQ(static_cast<UINT>(atoi(expected)), GetACP());
    }
}

} // namespace
