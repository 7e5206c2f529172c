// CFileInfo over fixture modules made by windres: descriptions, two
// translations, none, a version block without a translation table, a
// missing file, a long path, times in a pinned zone (TZ=Asia/Shanghai) and
// the size texts.
#include <FileInfo.h>

#include "../foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string Fixture(const char *name)
{
    return ModuleFolder() + name;
}

// True when nobody else holds the file open.
bool OpensExclusively(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

struct VersionCase
{
    const char *file;
    const char *description;
    const char *company;
    const char *productVersion;
};

TEST(FileInfo, ReadsTheVersionTextsOrGivesTheFileTitle)
{
    const VersionCase cases[] = {
        {"FileInfoDescribed.dll", "Described fixture module", "Fixture Makers", "2.3"},
        {"FileInfoTwoTranslations.dll", "Second description", "Second company", "1.second"},
        {"FileInfoNoDescription.dll", "FileInfoNoDescription.dll", "Quiet company", ""},
        {"FileInfoNoTranslation.dll", "FileInfoNoTranslation.dll", "", ""},
        {"FileInfoNoVersion.dll", "FileInfoNoVersion.dll", "", ""},
        {"FileInfoDescribed.dll", "Described fixture module", "Fixture Makers", "2.3"},
    };
    // One object reads them all in turn, as the program grid does: nothing
    // of one file stays behind for the next.
    CFileInfo info;
    for (const VersionCase &c : cases) {
        EXPECT_EQ(0, info.Read(Fixture(c.file).c_str())) << c.file;
        EXPECT_STREQ(c.description, info.GetDescription()) << c.file;
        EXPECT_STREQ(c.company, info.GetCompany()) << c.file;
        EXPECT_STREQ(c.productVersion, info.GetProductVersion()) << c.file;
    }
}

TEST(FileInfo, AMissingFileGivesMinusOneAndKeepsEveryText)
{
    CFileInfo info;
    ASSERT_EQ(0, info.Read(Fixture("FileInfoDescribed.dll").c_str()));
    const CString modified = info.GetModified();
    const LONG size = info.GetSize();
    EXPECT_EQ(-1, info.Read(Fixture("NoSuchFixture.dll").c_str()));
    EXPECT_STREQ("Described fixture module", info.GetDescription());
    EXPECT_STREQ("Fixture Makers", info.GetCompany());
    EXPECT_STREQ(modified, info.GetModified());
    EXPECT_EQ(size, info.GetSize());
}

TEST(FileInfo, AFileWithoutVersionStaysOpenUntilTheNextRead)
{
    const std::string plain = Fixture("FileInfoNoVersion.dll");
    const std::string described = Fixture("FileInfoDescribed.dll");
    {
        CFileInfo info;
        ASSERT_EQ(0, info.Read(plain.c_str()));
        EXPECT_FALSE(OpensExclusively(plain));
        ASSERT_EQ(0, info.Read(described.c_str()));
        EXPECT_TRUE(OpensExclusively(plain));
        // A file with a version block is closed at the end of the read.
        EXPECT_TRUE(OpensExclusively(described));
        ASSERT_EQ(0, info.Read(plain.c_str()));
    }
    // The object's end closes it.
    EXPECT_TRUE(OpensExclusively(plain));
}

TEST(FileInfo, ReadsAPathOf259Characters)
{
    TempFolder top("file-info-long");
    std::string folder = top.Path() + "\\";
    std::vector<std::string> made;
    const std::string name = "\\FileInfoDescribed.dll";
    while (folder.size() + name.size() < 259) {
        const size_t room = 259 - name.size() - folder.size();
        folder += std::string(std::min<size_t>(room > 1 ? room - 1 : 1, 60), 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        made.push_back(folder);
        if (folder.size() + name.size() < 259)
            folder += "\\";
    }
    const std::string path = folder + name;
    ASSERT_EQ(259u, path.size()) << path;
    ASSERT_TRUE(CopyFileA(Fixture("FileInfoDescribed.dll").c_str(), path.c_str(), FALSE));

    CFileInfo info;
    EXPECT_EQ(0, info.Read(path.c_str()));
    EXPECT_STREQ("Described fixture module", info.GetDescription());
    EXPECT_STREQ("2.3", info.GetProductVersion());

    DeleteFileA(path.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME system = {};
    system.wYear = year;
    system.wMonth = month;
    system.wDay = day;
    system.wHour = hour;
    system.wMinute = minute;
    system.wSecond = second;
    FILETIME file;
    SystemTimeToFileTime(&system, &file);
    return file;
}

TEST(FileInfo, TimesAreLocalTextsInThePinnedZone)
{
    ASSERT_STREQ("Asia/Shanghai", getenv("TZ")) << "the zone is pinned by the test's environment";
    TempFolder folder("file-info-times");
    const std::string path = folder.Write("Timed.bin", "12345");
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME accessed = Utc(2022, 1, 1, 0, 0, 0);
    const FILETIME modified = Utc(2021, 6, 15, 12, 34, 56);
    ASSERT_TRUE(SetFileTime(file, nullptr, &accessed, &modified));
    CloseHandle(file);

    CFileInfo info;
    ASSERT_EQ(0, info.Read(path.c_str()));
    EXPECT_STREQ("2021-06-15 20:34:56", info.GetModified());
    EXPECT_STREQ("2022-01-01 08:00:00", info.GetAccessed());
    EXPECT_TRUE(std::regex_match(std::string(info.GetCreated()),
                                 std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << info.GetCreated();
    EXPECT_EQ(5, info.GetSize());
    EXPECT_STREQ("Timed.bin", info.GetDescription());
}

struct SizeCase
{
    DWORD bytes;
    const char *unit;
    const char *expected;
};

TEST(FileInfo, FormatSizeInEachUnit)
{
    const SizeCase cases[] = {
        {1048576, "B", "1,048,576 bytes"},
        {1048576, "b", "1,048,576 bytes"},
        {999, "B", "999 bytes"},
        {1000, "B", "1,000 bytes"},
        {0, "B", "0 bytes"},
        {1536, "K", "   1.500 K"},
        {1536, "k", "   1.500 K"},
        {1048576, "M", "   1.000 M"},
        // Other units leave the size text as the read made it.
        {1536, "G", "1536"},
        {1536, "", "1536"},
    };
    TempFolder folder("file-info-sizes");
    for (const SizeCase &c : cases) {
        const std::string path = folder.Write("Sized.bin", std::string(c.bytes, 'x'));
        CFileInfo info;
        ASSERT_EQ(0, info.Read(path.c_str()));
        EXPECT_STREQ(c.expected, info.FormatSize(c.unit)) << c.bytes << " " << c.unit;
    }
}

} // namespace
