// CFile and CFileException on real files: open modes and sharing, failures
// as exceptions or results, status times and sizes, and the file title.
#include <CFile.h>

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const UINT kAppendMode = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone;

class CFileTest : public ::testing::Test
{
protected:
    TempFolder folder{"qfw-cfile"};
};

void Append(const std::string &path, const char *text)
{
    CFile file(path.c_str(), kAppendMode);
    file.SeekToEnd();
    file.Write(text, static_cast<UINT>(strlen(text)));
    file.Close();
}

TEST_F(CFileTest, AppendModeCreatesThenKeepsAndAppends)
{
    EXPECT_EQ(0x3041u, kAppendMode);
    std::string path = folder.File("error.log");
    Append(path, "first\r\n");
    EXPECT_EQ("first\r\n", TempFolder::Read(path));
    Append(path, "second\n");
    EXPECT_EQ("first\r\nsecond\n", TempFolder::Read(path));
}

TEST_F(CFileTest, CreateAloneTruncates)
{
    std::string path = folder.Write("data.txt", "old content");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite);
    EXPECT_EQ(0u, file.GetLength());
    file.Write("new", 3);
    EXPECT_EQ(3u, file.GetLength());
    file.Close();
    EXPECT_EQ("new", TempFolder::Read(path));
}

TEST_F(CFileTest, ReadGivesTheBytesAsTheyAre)
{
    std::string path = folder.Write("bytes.bin", std::string("a\r\nb\n\0\x1A z", 9));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    char buffer[32];
    EXPECT_EQ(9u, file.Read(buffer, sizeof buffer));
    EXPECT_EQ(std::string("a\r\nb\n\0\x1A z", 9), std::string(buffer, 9));
    EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));
}

struct SharingCase
{
    UINT firstShare;
    UINT secondFlags;
    bool secondOpens;
};

class CFileSharing : public CFileTest, public ::testing::WithParamInterface<SharingCase> {};

TEST_P(CFileSharing, SecondOpenerIsLetInOrRefused)
{
    const SharingCase &c = GetParam();
    std::string path = folder.Write("shared.txt", "x");
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeWrite | c.firstShare));
    CFile second;
    CFileException error;
    EXPECT_EQ(c.secondOpens, second.Open(path.c_str(), c.secondFlags, &error) != FALSE);
    if (!c.secondOpens) {
        EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
        EXPECT_EQ(ERROR_SHARING_VIOLATION, error.m_lOsError);
        EXPECT_STREQ(path.c_str(), error.m_strFileName);
        EXPECT_EQ(CFile::hFileNull, second.m_hFile);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CFileSharing, ::testing::Values(
    SharingCase{CFile::shareDenyNone, CFile::modeWrite | CFile::shareDenyNone, true},
    SharingCase{CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyNone, true},
    SharingCase{CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
    SharingCase{CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
    SharingCase{CFile::shareDenyRead, CFile::modeRead | CFile::shareDenyNone, false},
    SharingCase{CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false}));

TEST_F(CFileTest, MissingFolderThrowsFromTheConstructorAndFailsOpen)
{
    std::string path = folder.File("no-such-folder\\file.txt");
    std::unique_ptr<CFileException> thrown;
    try {
        CFile file(path.c_str(), kAppendMode);
        ADD_FAILURE() << "no exception";
    } catch (CFileException *e) {
        thrown.reset(e);
    }
    ASSERT_TRUE(thrown);
    EXPECT_EQ(CFileException::badPath, thrown->m_cause);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, thrown->m_lOsError);
    EXPECT_STREQ(path.c_str(), thrown->m_strFileName);

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), kAppendMode, &error));
    EXPECT_EQ(thrown->m_cause, error.m_cause);
    EXPECT_EQ(thrown->m_lOsError, error.m_lOsError);
    EXPECT_STREQ(path.c_str(), error.m_strFileName);
    EXPECT_FALSE(file.Open(path.c_str(), kAppendMode));
}

TEST_F(CFileTest, MissingFileIsFileNotFound)
{
    CFileException error;
    CFile file;
    EXPECT_FALSE(file.Open(folder.File("absent.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);
}

TEST_F(CFileTest, FailuresOfAnOpenFileThrowAndCanBeCaughtAsCException)
{
    std::string path = folder.Write("read-only.txt", "content");
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    bool caught = false;
    try {
        file.Write("x", 1);
    } catch (CException *e) {
        caught = true;
        CFileException *fileError = dynamic_cast<CFileException *>(e);
        ASSERT_NE(nullptr, fileError);
        EXPECT_EQ(CFileException::accessDenied, fileError->m_cause);
        EXPECT_EQ(ERROR_ACCESS_DENIED, fileError->m_lOsError);
        e->Delete();
    }
    EXPECT_TRUE(caught);
    EXPECT_EQ("content", TempFolder::Read(path));
}

TEST_F(CFileTest, CloseOfNothingDoesNothingAndTheDestructorCloses)
{
    CFile never;
    never.Close();
    EXPECT_EQ(CFile::hFileNull, never.m_hFile);

    std::string path = folder.Write("held.txt", "x");
    {
        CFile held(path.c_str(), CFile::modeRead | CFile::shareExclusive);
        EXPECT_NE(CFile::hFileNull, held.m_hFile);
        EXPECT_FALSE(DeleteFileA(path.c_str()));
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));

    CFile twice(folder.Write("twice.txt", "x").c_str(), CFile::modeRead);
    twice.Close();
    twice.Close();
    EXPECT_EQ(CFile::hFileNull, twice.m_hFile);
}

TEST_F(CFileTest, OpenAgainClosesTheFirstFile)
{
    std::string first = folder.Write("first.txt", "1");
    std::string second = folder.Write("second.txt", "22");
    CFile file;
    ASSERT_TRUE(file.Open(first.c_str(), CFile::modeRead | CFile::shareExclusive));
    ASSERT_TRUE(file.Open(second.c_str(), CFile::modeRead | CFile::shareExclusive));
    EXPECT_TRUE(DeleteFileA(first.c_str()));
    EXPECT_EQ(2u, file.GetLength());
    EXPECT_STREQ("second.txt", file.GetFileTitle());
}

FILETIME FileTimeOf(__int64 time)
{
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(time + 11644473600LL) * 10000000ULL;
    return FILETIME{ticks.LowPart, ticks.HighPart};
}

TEST_F(CFileTest, StatusReadsTheTimesAndSizeFromTheHandle)
{
    std::string path = folder.Write("status.bin", std::string(1234, 'z'));
    struct { __int64 created, written, accessed; } cases[] = {
        {946684800, 1700000000, 2224713600LL},  // 2000, 2023, 2040
        {-299851200, -1, 0},                    // before 1970
    };
    for (const auto &c : cases) {
        {
            CFile writer(path.c_str(), CFile::modeWrite | CFile::shareDenyNone);
            FILETIME created = FileTimeOf(c.created), written = FileTimeOf(c.written),
                     accessed = FileTimeOf(c.accessed);
            ASSERT_TRUE(SetFileTime(writer.m_hFile, &created, &accessed, &written));
        }
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
        CFileStatus status;
        ASSERT_TRUE(file.GetStatus(status));
        // Wine keeps no creation time of its own on this file system, so
        // it is compared with what the system reports for the handle.
        FILETIME created, accessed, written;
        ASSERT_TRUE(GetFileTime(file.m_hFile, &created, &accessed, &written));
        EXPECT_EQ(CTime(created).GetTime(), status.m_ctime.GetTime());
        EXPECT_EQ(c.written, status.m_mtime.GetTime());
        EXPECT_EQ(c.accessed, status.m_atime.GetTime());
        EXPECT_EQ(1234, status.m_size);
        EXPECT_EQ(0, status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_STREQ(path.c_str(), status.m_szFullName);
        EXPECT_FALSE(status.m_mtime.Format("%Y-%m-%d %H:%M:%S").IsEmpty());
    }

    CFile closed;
    CFileStatus untouched;
    EXPECT_FALSE(closed.GetStatus(untouched));
}

TEST_F(CFileTest, FileTitleIsTheLastComponentWithItsExtension)
{
    struct { const char *name; const char *title; } cases[] = {
        {"b.exe", "b.exe"},
        {"no-extension", "no-extension"},
        {"two.dots.txt", "two.dots.txt"},
    };
    for (const auto &c : cases) {
        CFile file(folder.Write(c.name, "").c_str(), CFile::modeRead);
        EXPECT_STREQ(c.title, file.GetFileTitle());
    }

    // Opened by a relative name: the title is still the last component.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    {
        CFile relative("b.exe", CFile::modeRead);
        EXPECT_STREQ("b.exe", relative.GetFileTitle());
    }
    SetCurrentDirectoryA(previous);
}

struct CauseCase
{
    LONG error;
    int cause;
};

class CFileExceptionCause : public ::testing::TestWithParam<CauseCase> {};

TEST_P(CFileExceptionCause, OsErrorMapsToCause)
{
    EXPECT_EQ(GetParam().cause, CFileException::OsErrorToException(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(Cases, CFileExceptionCause, ::testing::Values(
    CauseCase{NO_ERROR, CFileException::none},
    CauseCase{ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    CauseCase{ERROR_PATH_NOT_FOUND, CFileException::badPath},
    CauseCase{ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    CauseCase{ERROR_ACCESS_DENIED, CFileException::accessDenied},
    CauseCase{ERROR_INVALID_HANDLE, CFileException::invalidFile},
    CauseCase{ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    CauseCase{ERROR_CANNOT_MAKE, CFileException::directoryFull},
    CauseCase{ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    CauseCase{ERROR_CRC, CFileException::hardIO},
    CauseCase{ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    CauseCase{ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    CauseCase{ERROR_DISK_FULL, CFileException::diskFull},
    CauseCase{ERROR_HANDLE_EOF, CFileException::endOfFile},
    CauseCase{ERROR_INVALID_NAME, CFileException::badPath},
    CauseCase{12345, CFileException::generic}));

} // namespace
