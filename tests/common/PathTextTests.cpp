// Splitting paths into folder and file name, in the system code page and in
// code page 936, where a character's trail byte may be a backslash.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "PathText.h"
#include "StringCodePage.h"

namespace {

struct PathCase {
    std::string Path;
    std::string Folder;
    std::string FileName;
    std::string Name; // without the extension
};

void ExpectSplits(const PathCase &c)
{
    SCOPED_TRACE(c.Path);
    EXPECT_STREQ(c.Folder.c_str(), GetDirFromPath(c.Path.c_str()));
    EXPECT_STREQ(c.FileName.c_str(), GetFileNameFromPath(c.Path.c_str(), true));
    EXPECT_STREQ(c.Name.c_str(), GetFileNameFromPath(c.Path.c_str(), false));
}

TEST(PathText, SplitsFolderNameAndExtension)
{
    const PathCase cases[] = {
        {"C:\\App\\QFW.exe", "C:\\App\\", "QFW.exe", "QFW"},
        {"C:\\", "C:\\", "", ""},
        {"C:", "C:\\", "", ""},
        {"C:\\App\\", "C:\\App\\", "", ""},
        {"QFW.exe", "\\", "QFW.exe", "QFW"},
        {"", "\\", "", ""},
        {"C:\\App\\README", "C:\\App\\", "README", "README"},
        {"C:\\My.Folder\\file", "C:\\My.Folder\\", "file", "file"},
        {"C:\\App\\archive.tar.gz", "C:\\App\\", "archive.tar.gz", "archive.tar"},
        {"C:\\App\\.profile", "C:\\App\\", ".profile", ""},
        {"\\\\server\\share\\x.dll", "\\\\server\\share\\", "x.dll", "x"},
        {"C:App.exe", "C:\\", "App.exe", "App"},
        // Only a backslash counts as the folder's own ending.
        {"C:/App/QFW.exe", "C:/App/\\", "QFW.exe", "QFW"},
    };
    for (const PathCase &c : cases)
        ExpectSplits(c);
}

TEST(PathText, OnlyAFullPathOnADriveOfThisComputerIsLocal)
{
    char system[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
    struct Case {
        std::string path;
        bool local;
    } cases[] = {
        {system, true},
        {std::string(system) + "\\notepad.exe", true},
        {std::string(1, system[0]) + ":/Windows/x.exe", true},
        {"\\\\server\\share\\x.exe", false},
        {"//server/share/x.exe", false},
        {"\\\\?\\UNC\\server\\share\\x.exe", false},
        {"\\\\.\\pipe\\x", false},
        {"\\Windows\\x.exe", false},
        {"x.exe", false},
        {"C:x.exe", false},
        {"C:", false},
        {"1:\\x.exe", false},
        {"", false},
        {"*", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.local, IsLocalAbsolutePath(c.path.c_str())) << c.path;
    EXPECT_FALSE(IsLocalAbsolutePath(NULL));
}

TEST(PathText, LongFoldersAreNeverCut)
{
    std::string folder255 = "C:\\" + std::string(255, 'f') + "\\";
    std::string folder300 = "C:\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + "\\";
    std::string near260 = "C:\\" + std::string(248, 'd') + "\\QFW.exe"; // 259 characters
    ASSERT_EQ(259u, near260.size());
    const PathCase cases[] = {
        {folder255 + "QFW.exe", folder255, "QFW.exe", "QFW"},
        {folder300 + "name.txt", folder300, "name.txt", "name"},
        {near260, near260.substr(0, 252), "QFW.exe", "QFW"},
        {"C:\\App\\" + std::string(300, 'n') + ".x", "C:\\App\\", std::string(300, 'n') + ".x",
         std::string(300, 'n')},
    };
    for (const PathCase &c : cases)
        ExpectSplits(c);
}

// Run by common_tests_cp936 in a system whose code page is 936, and
// otherwise with the strings' code page set to 936.
class PathTextIn936 : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_codePage = GetStringCodePage();
        if (getenv("QFW_SYSTEM_CODE_PAGE_936"))
            ASSERT_EQ(936u, GetACP());
        else
            SetStringCodePage(936);
    }
    void TearDown() override { SetStringCodePage(m_codePage); }

private:
    UINT m_codePage = CP_ACP;
};

// "\x81\x5C" is one character of code page 936 whose second byte is '\\'.
TEST_F(PathTextIn936, ATrailByteBackslashSplitsNothing)
{
    const std::string wide = "\x81\x5C";
    const PathCase cases[] = {
        {"C:\\App\\" + wide + "name.txt", "C:\\App\\", wide + "name.txt", wide + "name"},
        {"C:\\App\\ab" + wide, "C:\\App\\", "ab" + wide, "ab" + wide},
        {"C:\\" + wide + "\\QFW.exe", "C:\\" + wide + "\\", "QFW.exe", "QFW"},
        {"C:\\" + wide + wide + "\\" + wide + ".txt", "C:\\" + wide + wide + "\\", wide + ".txt",
         wide},
        // A lead byte at the very end has no trail byte: it is a character.
        {"C:\\App\\a\x81", "C:\\App\\", "a\x81", "a\x81"},
    };
    for (const PathCase &c : cases)
        ExpectSplits(c);
}

TEST(GetModuleDir, GivesTheFolderOfTheProgramOrItsPath)
{
    char path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, path, sizeof path - 1));
    std::string full = path;
    EXPECT_STREQ(full.c_str(), GetModuleDir(nullptr, true));
    EXPECT_STREQ(full.substr(0, full.rfind('\\') + 1).c_str(), GetModuleDir(nullptr, false));
}

TEST(GetModuleDir, GivesTheFolderOfALibrary)
{
    char system[MAX_PATH] = {};
    ASSERT_NE(0u, GetSystemDirectoryA(system, sizeof system));
    CString folder = GetModuleDir(GetModuleHandleA("kernel32.dll"), false);
    EXPECT_EQ(0, lstrcmpiA((std::string(system) + "\\").c_str(), folder)) << (LPCTSTR)folder;
}

} // namespace
