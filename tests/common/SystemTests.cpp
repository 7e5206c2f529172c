// The system kind, the null-DACL attributes, the host names and the
// program folder, in this process and in copies of it that Wine shows
// another Windows or runs from another folder.
#include <gtest/gtest.h>
#include <string>
#include "CommonFunctions.h"
#include "CommonTestChildren.h"
#include "NetvaneFixture.h"

namespace {

TEST(OsKindOf, MapsPlatformAndVersion)
{
    struct Case {
        DWORD Platform, Major, Minor;
        OsKind Kind;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, OS_KIND_WIN9X},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, OS_KIND_WIN9X},
        {VER_PLATFORM_WIN32s, 3, 1, OS_KIND_OTHER},
        {3, 5, 0, OS_KIND_OTHER},
        {VER_PLATFORM_WIN32_NT, 4, 0, OS_KIND_NT4},
        {VER_PLATFORM_WIN32_NT, 5, 0, OS_KIND_WIN2000},
        {VER_PLATFORM_WIN32_NT, 5, 1, OS_KIND_XP_OR_LATER},
        {VER_PLATFORM_WIN32_NT, 5, 2, OS_KIND_XP_OR_LATER},
        {VER_PLATFORM_WIN32_NT, 6, 0, OS_KIND_XP_OR_LATER},
        {VER_PLATFORM_WIN32_NT, 10, 0, OS_KIND_XP_OR_LATER},
        {VER_PLATFORM_WIN32_NT, 3, 51, OS_KIND_XP_OR_LATER},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.Kind, OsKindOf(c.Platform, c.Major, c.Minor))
            << c.Platform << " " << c.Major << "." << c.Minor;
}

TEST(GetNullDaclAttributes, OpensObjectsToEveryAccount)
{
    LPSECURITY_ATTRIBUTES attributes = GetNullDaclAttributes();
    ASSERT_NE(nullptr, attributes);
    EXPECT_EQ(attributes, GetNullDaclAttributes());
    EXPECT_EQ(sizeof(SECURITY_ATTRIBUTES), attributes->nLength);
    EXPECT_FALSE(attributes->bInheritHandle);
    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = reinterpret_cast<PACL>(1);
    ASSERT_TRUE(GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &dacl,
                                          &defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(nullptr, dacl);
    EXPECT_FALSE(defaulted);

    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0, 4096,
                                        "qfw-common-null-dacl");
    EXPECT_NE(nullptr, section);
    CloseHandle(section);
}

std::string TempPath(const char *name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

// Wine shows a program the Windows version named for it in the registry.
TEST(OtherWindows, TheSystemKindFollowsTheVersion)
{
    struct Case {
        const char *Version;
        OsKind Kind;
        bool Win9x;
    } cases[] = {
        {"", OS_KIND_XP_OR_LATER, false},
        {"win2k", OS_KIND_WIN2000, false},
        {"nt40", OS_KIND_NT4, false},
        {"winxp", OS_KIND_XP_OR_LATER, false},
        {"win98", OS_KIND_WIN9X, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Version);
        std::string arguments = std::string(kOsSwitch) + " " + std::to_string(c.Kind) + " " +
                                (c.Win9x ? "1" : "0");
        EXPECT_EQ(0, RunCopy(TempPath("qfw_common_os_probe.exe"), arguments, c.Version));
    }
}

using HostNames = CNetvaneFixture;

TEST_F(HostNames, ComeFromTheDriverInTheWayOfEachFamily)
{
    ASSERT_TRUE(NetvaneAddName(kKnownHost, kKnownHostName));
    for (const char *version : {"", "win98"}) {
        SCOPED_TRACE(version);
        EXPECT_EQ(0, RunCopy(TempPath("qfw_common_host_probe.exe"), kHostNamesSwitch, version));
    }
}

TEST_F(HostNames, AreAlwaysTerminatedWithinTheBuffer)
{
    ASSERT_TRUE(NetvaneAddName(kKnownHost, kKnownHostName));
    char name[3];
    EXPECT_TRUE(IpToHostName(kKnownHost, name, sizeof name));
    EXPECT_STREQ("ro", name);
    char none = 'x';
    EXPECT_FALSE(IpToHostName(kKnownHost, &none, 0));
    EXPECT_EQ('x', none);
}

TEST(ProgramFolder, IsTheFolderTheProgramRunsFrom)
{
    struct Case {
        std::string Folder;
    } cases[] = {
        {"C:\\QfwTest\\App\\"},
        {"C:\\QfwTest\\" + std::string(230, 'd') + "\\"}, // a path of 251 characters
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Folder);
        CreateDirectoryA("C:\\QfwTest", nullptr);
        ASSERT_TRUE(CreateDirectoryA(c.Folder.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        std::string path = c.Folder + "QFW.exe";
        std::string arguments = std::string(kModuleDirSwitch) + " " + c.Folder + " " + path;
        EXPECT_EQ(0, RunCopy(path, arguments, ""));
        RemoveDirectoryA(c.Folder.c_str());
    }
    RemoveDirectoryA("C:\\QfwTest");
}

} // namespace
