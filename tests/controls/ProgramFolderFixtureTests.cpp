// The program-folder fixture: what it lays out, and that a text or picture
// the folder lacks fails the test that reads it.
#include <DataBase.h>
#include <LanguageText.h>
#include <ProgramFolder.h>
#include <SkinBitmap.h>

#include <ProgramFolderFixture.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

bool Exists(const CString &path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

TEST(ProgramFolderFixture, LaysOutTheFolderBesideThePrograms)
{
    CString path;
    {
        CProgramFolderFixture folder;
        path = folder.Path();
        EXPECT_STREQ(folder.Path(), GetProgramFolder());
        for (LPCTSTR file : {"Config.dat", "ProgramLogs.dat", "Firewall.dat", "ProgramsRule.dat",
                             "Language.ini", "QfwUpdate.ini", "Ferrowind.chm", "sound\\Alert.wav"})
            EXPECT_TRUE(Exists(folder.File(file))) << file;

        // The settings store made there names the skin the pictures are in.
        // (Opening a made file again answers FALSE: its TipIndex row is there.)
        CDataBase settings;
        settings.Open(folder.File("Config.dat"));
        EXPECT_STREQ("Default", settings.GetSkinName());
        CSkinBitmap picture;
        EXPECT_TRUE(picture.Load(GetProgramFolder() + "Skins\\" + settings.GetSkinName() + "\\BigIcon.bmp"));

        CLanguageText text;
        text.SetSource(folder.LanguageFile(), "APP", "APP", "APP_NAME");
        EXPECT_STREQ("Ferrowind", text.GetAppName());
        EXPECT_TRUE(folder.Misses().empty());
    }
    EXPECT_FALSE(Exists(path));
    EXPECT_STRNE(path, GetProgramFolder());
}

// Runs `read` with the failures it causes caught; returns them.
template <typename Read>
std::vector<std::string> FailuresOf(Read read)
{
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        read();
    }
    std::vector<std::string> failures;
    for (int i = 0; i < results.size(); ++i)
        failures.push_back(results.GetTestPartResult(i).message());
    return failures;
}

TEST(ProgramFolderFixture, AKeyThatTheFolderLacksFailsTheTest)
{
    CProgramFolderFixture folder;
    CLanguageText text;
    text.SetSource(folder.LanguageFile(), "APP", "APP", "APP_NAME");
    const std::vector<std::string> failures = FailuresOf([&] { text.GetText("NO_SUCH_KEY"); });
    ASSERT_EQ(1u, failures.size());
    EXPECT_NE(std::string::npos, failures[0].find("APP/NO_SUCH_KEY")) << failures[0];
}

TEST(ProgramFolderFixture, APictureThatTheFolderLacksFailsTheTest)
{
    CProgramFolderFixture folder;
    CSkinBitmap picture;
    const std::vector<std::string> failures =
        FailuresOf([&] { picture.Load(folder.SkinFile("NoSuchPicture.bmp")); });
    ASSERT_EQ(1u, failures.size());
    EXPECT_NE(std::string::npos, failures[0].find("NoSuchPicture.bmp")) << failures[0];
}

TEST(ProgramFolderFixture, AnExpectedMissIsNoFailure)
{
    CProgramFolderFixture folder;
    folder.ExpectMiss(KIT_MISSING_TEXT, "APP/NO_SUCH_KEY");
    CLanguageText text;
    text.SetSource(folder.LanguageFile(), "APP", "APP", "APP_NAME");
    EXPECT_STREQ("", text.GetText("NO_SUCH_KEY"));
    ASSERT_EQ(1u, folder.Misses().size());
    EXPECT_TRUE(folder.Misses()[0].expected);
}

} // namespace
