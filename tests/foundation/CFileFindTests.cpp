// CFileFind: the look-ahead loop visits every match once, names pass to the
// system as they are, and paths come from the folder of the search.
#include <CFileFind.h>

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The names a look-ahead loop visits, dots left out; each name once.
std::multiset<std::string> Visit(const std::string &pattern, int *dots = nullptr)
{
    std::multiset<std::string> names;
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) {
            if (dots)
                ++*dots;
            continue;
        }
        names.insert(static_cast<LPCTSTR>(finder.GetFileName()));
    }
    return names;
}

TEST(CFileFind, LoopVisitsEveryEntryExactlyOnce)
{
    TempFolder folder("qfw-filefind");
    EXPECT_TRUE(Visit(folder.File("*.txt")).empty());

    folder.Write("one.txt", "1");
    EXPECT_EQ((std::multiset<std::string>{"one.txt"}), Visit(folder.File("*.txt")));

    folder.Write("two.txt", "2");
    folder.Write("three.txt", "3");
    folder.Write("other.dat", "4");
    EXPECT_EQ((std::multiset<std::string>{"one.txt", "three.txt", "two.txt"}),
              Visit(folder.File("*.txt")));

    int dots = 0;
    EXPECT_EQ((std::multiset<std::string>{"one.txt", "other.dat", "three.txt", "two.txt"}),
              Visit(folder.File("*.*"), &dots));
    EXPECT_EQ(2, dots);
}

TEST(CFileFind, ExistingFileAndMissingFile)
{
    TempFolder folder("qfw-filefind");
    std::string path = folder.Write("present.exe", "x");

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(path.c_str()));
    EXPECT_STREQ("", finder.GetFileName());  // nothing is current before FindNextFile
    EXPECT_FALSE(finder.FindNextFile());      // the only match is the last
    EXPECT_STREQ("present.exe", finder.GetFileName());
    EXPECT_STREQ(path.c_str(), finder.GetFilePath());
    EXPECT_FALSE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsDots());
    EXPECT_FALSE(finder.FindNextFile());
    finder.Close();
    EXPECT_STREQ("", finder.GetFileName());

    EXPECT_FALSE(finder.FindFile(folder.File("absent.exe").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
}

TEST(CFileFind, StarInAFolderWithOneFileGivesTheDotsAndTheFile)
{
    TempFolder folder("qfw-filefind");
    folder.Write("only.bin", "x");
    CreateDirectoryA(folder.File("sub").c_str(), NULL);

    CFileFind finder;
    BOOL more = finder.FindFile(folder.File("*").c_str());
    ASSERT_TRUE(more);
    int files = 0, folders = 0, dots = 0;
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) {
            ++dots;
            EXPECT_TRUE(finder.IsDirectory());
        } else if (finder.IsDirectory()) {
            ++folders;
            EXPECT_STREQ((folder.File("sub")).c_str(), finder.GetFilePath());
        } else {
            ++files;
            EXPECT_STREQ((folder.File("only.bin")).c_str(), finder.GetFilePath());
        }
    }
    EXPECT_EQ(1, files);
    EXPECT_EQ(1, folders);
    EXPECT_EQ(2, dots);
    RemoveDirectoryA(folder.File("sub").c_str());
}

// A rule path may be a bare program name, or "*": both are looked up in
// the current directory.
TEST(CFileFind, BareNameResolvesAgainstTheCurrentDirectory)
{
    TempFolder folder("qfw-filefind");
    folder.Write("bare.exe", "x");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));

    CFileFind finder;
    EXPECT_TRUE(finder.FindFile("bare.exe"));
    finder.FindNextFile();
    EXPECT_STREQ(folder.File("bare.exe").c_str(), finder.GetFilePath());
    finder.Close();

    EXPECT_EQ((std::multiset<std::string>{"bare.exe"}), Visit("*"));
    EXPECT_EQ((std::multiset<std::string>{"bare.exe"}), Visit("*.*"));

    SetCurrentDirectoryA(previous);
}

} // namespace
